#pragma once

#include <QList>
#include <QUrl>

class QWidget;

// Drags the URLs onto the widget and drops them there, as a file manager does; false,
// with nothing dropped, when the widget refuses them on entering.
bool dropOnto(QWidget &widget, const QList<QUrl> &urls);
