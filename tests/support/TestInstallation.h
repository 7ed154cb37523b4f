#pragma once

#include "ToolFolder.h"

#include <QString>
#include <QTemporaryDir>

// The program installed in a temporary folder, as tests need it: the application
// directory with its tool folder "amr", with native separators, and on request the
// script runner beside the program and the tools in the tool folder. Links where they
// can be made, copies on Windows, where only administrators may make links.
class TestInstallation {
public:
    TestInstallation();

    bool isValid() const { return m_valid; }
    const ToolFolder &tools() const { return m_tools; }
    // A file in the application directory.
    QString filePath(const QString &name) const;

    // The built script runner beside the program; nothing on Windows, where the command
    // interpreter runs the script.
    [[nodiscard]] bool addScriptRunner() const;
    // The stand-in (StandInTool.cpp) as the decoder, its module and the encoder.
    [[nodiscard]] bool addStandIns() const;
    // The built decoder with its module, and the encoder.
    [[nodiscard]] bool addBuiltTools() const;

private:
    QTemporaryDir m_folder;
    ToolFolder m_tools;
    bool m_valid = false;
};
