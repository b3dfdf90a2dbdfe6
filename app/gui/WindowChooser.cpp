#include "app/gui/WindowChooser.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "convert/StringTable.h"

namespace {

QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string FromPathText(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool IsPattern(const QString& name) { return name.contains(u'*') || name.contains(u'?'); }

}  // namespace

QStringList NameFilters(const std::vector<FileFilter>& filters) {
    QStringList list;
    for (const FileFilter& f : filters) {
        QString label = QString::fromStdString(f.label);
        const qsizetype open = label.lastIndexOf(u'(');
        if (open > 0) label.truncate(open);
        QString patterns = QString::fromStdString(f.patterns);
        patterns.replace(u';', u' ');
        list << label.trimmed() + QStringLiteral(" (") + patterns.simplified() + u')';
    }
    list << QFileDialog::tr("All Files (*)");
    return list;
}

bool WindowChooser::ChooseFile(FileDialogMode mode, std::string& path, const std::vector<FileFilter>& filters,
                               int selectedFilter) {
    if (preset_) {
        path = *preset_;
        preset_.reset();
        return true;
    }
    const bool open = mode == FileDialogMode::Open;
    QFileDialog dialog(owner_, QString::fromLatin1(LoadString(open ? kStrOpen : kStrSaveAs).data()));
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList names = NameFilters(filters);
    dialog.setNameFilters(names);
    if (selectedFilter >= 0 && selectedFilter < names.size()) dialog.selectNameFilter(names[selectedFilter]);
    // The initial path: its folder, and its name unless that is a pattern.
    const QFileInfo initial(PathText(path));
    if (initial.dir().exists()) dialog.setDirectory(initial.dir());
    if (!initial.fileName().isEmpty() && !IsPattern(initial.fileName())) dialog.selectFile(initial.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = FromPathText(dialog.selectedFiles().first());
    return true;
}

bool WindowChooser::ChooseDirectory(std::string& directory) {
    QFileDialog dialog(owner_, QFileDialog::tr("Choose Directory"));
    dialog.setObjectName(QStringLiteral("folderDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    const QString start = directory.empty() ? QStringLiteral("/") : PathText(directory);
    if (QDir(start).exists()) dialog.setDirectory(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    QString chosen = QDir::cleanPath(dialog.selectedFiles().first());
    if (chosen == QStringLiteral("/")) chosen.clear();
    directory = FromPathText(chosen);
    return true;
}
