#include "storage/card_paths.h"

#include "storage/card_text.h"
#include "storage/win1252.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

QString CardPaths::refusal(const QString& path, Kind kind)
{
    const QString what = kind == Kind::File ? QStringLiteral("Attenzione: il file \u00ab%1\u00bb ")
                                            : QStringLiteral("Attenzione: la cartella \u00ab%1\u00bb ");
    const QString tail = kind == Kind::File
        ? QStringLiteral(" e non può essere registrato nella scheda così com'è. Rinominarlo o spostarlo e "
                         "selezionarlo di nuovo.")
        : QStringLiteral(" e non può essere registrata nella scheda così com'è. Rinominarla o spostarla e "
                         "selezionarla di nuovo.");
    for (const QChar c : path)
        if (c == u';' || c == u'"')
            return what.arg(path) + QStringLiteral("contiene il carattere \u00ab%1\u00bb").arg(c) + tail;
    if (CardText::trimmed(path) != path)
        return what.arg(path) + QStringLiteral("inizia o termina con uno spazio") + tail;
    const QString bad = Cp1252::firstUnencodable(path);
    if (!bad.isEmpty())
        return what.arg(path) + QStringLiteral("contiene il carattere \u00ab%1\u00bb").arg(bad) + tail;
    return QString();
}

bool CardPaths::isLocal(const QString& path)
{
    // A scheme has at least two letters; one letter before ':' is a drive.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return !scheme.match(path.trimmed()).hasMatch();
}

bool CardPaths::isMissing(const QString& path, Kind kind)
{
    const QString p = path.trimmed();
    if (p.isEmpty() || !isLocal(p))
        return false;
    const QFileInfo info(p);
    // A relative path would be looked up in the working directory, which
    // means nothing to the user: it is as good as missing.
    if (!info.isAbsolute() || !info.exists())
        return true;
    return kind == Kind::Folder && !info.isDir();
}

QString CardPaths::startFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}
