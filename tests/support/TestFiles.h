#pragma once

#include <QByteArray>
#include <QString>

// A file's bytes; empty when it cannot be read.
QByteArray contentsOf(const QString &path);

// Writes a whole file, failing the test when it cannot.
void writeFile(const QString &path, const QByteArray &contents);
