// The file types the desktop learns from the installed package: a character file is told from a
// camera's raw image of the same ending by its content.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kResources = QStringLiteral(TESSARY_EXAMPLES_DIR "/../resources");
QTemporaryDir* dataHome = nullptr;
const QString kSystemTypes = QStringLiteral("mime/packages/freedesktop.org.xml");

}  // namespace

class QtDesktopFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void filesAreKnownByEndingAndContent();
};

void QtDesktopFilesTest::filesAreKnownByEndingAndContent() {
    if (!QFile::exists(QDir(dataHome->path()).filePath(kSystemTypes))) {
        QSKIP("the shared-mime-info package is not installed");
    }
    const QDir scratch(dataHome->path());
    auto write = [&scratch](const char* name, const QByteArray& bytes) {
        QFile file(scratch.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("figure.cr2", "{\r\n\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nactor BODY:1\r\n");
    // A raw image starts with a TIFF header.
    write("photo.cr2", QByteArray("II*\0\x10\0\0\0CR\x02\0", 12) + QByteArray(4000, '\x7f'));
    write("pose.pz2", "{\nversion\n\t{\n\tnumber 4\n\t}\n}\n");
    write("scene.pzz", QByteArray("\x1f\x8b\x08\0\0\0\0\0", 8));

    const QMimeDatabase types;
    const struct {
        const char* file;
        const char* type;
    } expected[] = {
        {"figure.cr2", "application/x-figure-character"},
        {"photo.cr2", "image/x-canon-cr2"},
        {"pose.pz2", "application/x-figure-pose"},
        {"scene.pzz", "application/x-figure-scene-compressed"},
    };
    for (const auto& entry : expected) {
        QCOMPARE(types.mimeTypeForFile(scratch.filePath(QLatin1String(entry.file))).name(),
                 QLatin1String(entry.type));
    }
}

int main(int argc, char** argv) {
    // The package is installed beside the system's types, as a distribution installs it:
    // both in one share/mime/packages folder, the only one there is.
    QTemporaryDir home;
    dataHome = &home;
    QDir(home.path()).mkpath(QStringLiteral("mime/packages"));
    QFile::copy(kResources + QStringLiteral("/desktop/tessary-mime.xml"),
                home.filePath(QStringLiteral("mime/packages/tessary.xml")));
    QFile::copy(QStringLiteral("/usr/share/") + kSystemTypes, home.filePath(kSystemTypes));
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", home.path().toLocal8Bit());
    QCoreApplication application(argc, argv);
    QtDesktopFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtDesktopFilesTest.moc"
