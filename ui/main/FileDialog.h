#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The main window's one file dialog, shared by both browse buttons. Like the common
// dialog of the Windows design it stands in for, it keeps its title, filter, filter
// index and file name between uses: a second Browse starts where the first ended. It has
// no read-only box, so the design's one flag (hide it) needs nothing here.
//
// The dialog never insists that a file exists, never asks before naming an existing
// file and adds no suffix; the window decides what a name means. A cancel leaves the
// file name empty.
class FileDialog {
public:
    enum class Mode { Open, Save };
    // Shows a dialog and returns the chosen name, or an empty text when cancelled.
    using Chooser = std::function<QString(Mode mode, const FileDialog &dialog)>;

    explicit FileDialog(QWidget *parent);

    void setTitle(const QString &title) { m_title = title; }
    const QString &title() const { return m_title; }

    // Pairs of description and pattern separated by "|": "MP3|*.mp3". Several patterns
    // of one entry are separated by ";".
    void setFilter(const QString &filter) { m_filter = filter; }
    const QString &filter() const { return m_filter; }

    // The entry of the filter selected when the dialog opens, counted from 1.
    void setFilterIndex(int index) { m_filterIndex = index; }
    int filterIndex() const { return m_filterIndex; }

    void setFileName(const QString &fileName) { m_fileName = fileName; }
    const QString &fileName() const { return m_fileName; }

    // The filter as name filters of a Qt file dialog: "MP3 (*.mp3)".
    QStringList nameFilters() const;

    void showOpen() { show(Mode::Open); }
    void showSave() { show(Mode::Save); }

    // Replaces the Qt dialog, for tests that answer in its place.
    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }

private:
    void show(Mode mode);
    QString chooseWithQtDialog(Mode mode) const;

    QWidget *m_parent;
    QString m_title;
    QString m_filter;
    int m_filterIndex = 0;
    QString m_fileName;
    Chooser m_chooser;
};
