#include "FileDialog.h"

#include <QDir>
#include <QFileDialog>

FileDialog::FileDialog(QWidget *parent)
    : m_parent(parent)
{
}

QStringList FileDialog::nameFilters() const
{
    QStringList filters;
    const QStringList parts = m_filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return filters;
}

void FileDialog::show(Mode mode)
{
    m_fileName = m_chooser ? m_chooser(mode, *this) : chooseWithQtDialog(mode);
}

QString FileDialog::chooseWithQtDialog(Mode mode) const
{
    QFileDialog dialog(m_parent, m_title);
    dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Any name may be typed, existing or not, and an existing one is taken without asking.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(nameFilters());
    if (m_filterIndex >= 1 && m_filterIndex <= dialog.nameFilters().size())
        dialog.selectNameFilter(dialog.nameFilters().at(m_filterIndex - 1));
    if (!m_fileName.isEmpty())
        dialog.selectFile(m_fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
