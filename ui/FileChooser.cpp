#include "FileChooser.h"

#include <iterator>

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace {

enum { ColSize = 1, ColDate = 3 };  // QFileSystemModel's columns

class TWordedFiles : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex &index, int role) const override {
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (role != Qt::DisplayRole || !files || (index.column() != ColSize && index.column() != ColDate))
      return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == ColDate) return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    // Folders have no size.
    return files->isDir(source) ? QIdentityProxyModel::data(index, role) : QVariant(FileSizeText(files->size(source)));
  }
};

}  // namespace

QString FileSizeText(qint64 bytes) {
  if (bytes < 1024) return QStringLiteral("%1 %2").arg(bytes).arg(bytes == 1 ? "octet" : "octeti");
  static const char *const units[] = {"KB", "MB", "GB", "TB", "PB"};
  double size = double(bytes) / 1024;
  size_t unit = 0;
  for (; size >= 1024 && unit + 1 < std::size(units); ++unit) size /= 1024;
  return QLocale().toString(size, 'f', 1) + u' ' + QLatin1String(units[unit]);
}

void UseProgramWording(QFileDialog &dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setProxyModel(new TWordedFiles(&dialog));
  // Room for the Romanian column titles and the dates beside a long name:
  // the name takes what the size, kind and date leave.
  dialog.resize(dialog.sizeHint().expandedTo(QSize(820, 480)));
  if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
    QHeaderView *header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
}

QString RunChooser(QFileDialog &dialog) {
  UseProgramWording(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}
