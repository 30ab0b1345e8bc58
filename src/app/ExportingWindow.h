#pragma once

#include <QDialog>

class QLabel;

namespace tessary {

// The small modeless window that names the file an OBJ export is writing, shown for the
// length of one export.
class ExportingWindow : public QDialog {
    Q_OBJECT

  public:
    explicit ExportingWindow(QWidget* owner);

    void SetPath(const QString& path);
    QString Path() const { return path_; }

  private:
    QLabel* pathLabel_;
    QString path_;
};

}  // namespace tessary
