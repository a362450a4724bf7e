#include "store/bookfolder.h"

#include "store/cp932.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>

namespace bookfolder {

namespace {
QString standardFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/telbora");
}
} // namespace

bool isStandard(const QString &dir) {
    return QDir(dir).absolutePath() == QDir(standardFolder()).absolutePath();
}

Location locate(const QString &dirOption) {
    return locate(dirOption, QCoreApplication::applicationDirPath());
}

bool hasBook(const QString &dir) {
    const QDir folder(dir);
    return folder.exists(QStringLiteral("VexaTel.txt")) || folder.exists(QStringLiteral("VexaType.txt"));
}

Location locate(const QString &dirOption, const QString &programDir) {
    if (!dirOption.isEmpty())
        return {dirOption};
    if (const QString fromEnvironment = qEnvironmentVariable("TELBORA_DIR"); !fromEnvironment.isEmpty())
        return {fromEnvironment};
    if (hasBook(programDir))
        return {QDir(programDir).path()};
    return {standardFolder(), true};
}

QList<QByteArray> defaultCategoryLines() {
    QList<QByteArray> lines;
    for (int category = 1; category <= 10; ++category) {
        const QString name = category <= mdlDim::FixedCategoryCount
                                 ? QString::fromUtf16(mdlDim::FixedCategoryNames[category - 1])
                                 : QString();
        lines.append(*cp932::encode(QString::number(category) + u'|' + name));
    }
    return lines;
}

Failure prepareStandard(const QString &dir) {
    if (!cp932::available())
        return {Failure::Kind::NoCodec, dir};
    const QByteArray name = QFile::encodeName(dir);
    if (!QDir().mkpath(QFileInfo(dir).absolutePath()))
        return {Failure::Kind::CannotMakeFolder, dir, errno};
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return {Failure::Kind::CannotCreate, dir, errno};
    if (hasBook(dir))
        return {};
    const QDir book(dir);
    if (Failure failure =
            linefile::createWith(book.filePath(QStringLiteral("VexaType.txt")), defaultCategoryLines(), 0600);
        failure.failed())
        return failure;
    return linefile::createWith(book.filePath(QStringLiteral("VexaTel.txt")), {}, 0600);
}

Failure folderProblem(const QString &dir) {
    const QFileInfo info(dir);
    if (!info.exists())
        return {Failure::Kind::FolderMissing, dir};
    if (!info.isDir())
        return {Failure::Kind::NotAFolder, dir};
    return {};
}

Failure writeProblem(const QString &dir) {
    const QString folder = QDir::cleanPath(QDir(dir).absolutePath());
    if (const int err = linefile::writeDenial(QFile::encodeName(folder)); err != 0 && err != ENOENT)
        return {Failure::Kind::FolderNotWritable, folder, err};
    for (const QString &file : {QStringLiteral("VexaTel.txt"), QStringLiteral("VexaType.txt")}) {
        const QString path = QDir(folder).filePath(file);
        if (const int err = linefile::writeDenial(QFile::encodeName(path)); err != 0 && err != ENOENT)
            return {Failure::Kind::FileNotWritable, path, err};
    }
    return {};
}

Failure use(const QString &dirOption) {
    const Location location = locate(dirOption);
    if (location.standard) {
        if (Failure failure = prepareStandard(location.dir); failure.failed())
            return failure;
    } else if (Failure problem = folderProblem(location.dir); problem.failed()) {
        return problem;
    }
    mdlDim::setDataDirectory(location.dir);
    return {};
}

} // namespace bookfolder
