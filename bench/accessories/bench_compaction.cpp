// Compaction of a large messages archive on a connection set up as the
// editors' (temp_store = MEMORY): the plain statement against the routine the
// editors use. Each run is a child process working on its own copy of the
// archive, so its peak memory (maximum resident size) is its own.
//
//   bench_compaction [cards]      builds the archive, runs both, prints figures
#include "archives/archive_registry.h"
#include "accessories/archive_compaction.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

long maxRssKb()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Child: one compaction of the archive in dir; prints "ms rss-before rss-after".
int runOnce(const QString& dir, bool routine)
{
    AppPaths::setDataDir(dir);
    const CardArchive& a = Archives::card(ArchiveKind::Messages);
    auto db = a.open();
    const long before = maxRssKb();
    QElapsedTimer t;
    t.start();
    if (routine)
        ArchiveCompaction::vacuum(*db);
    else
        db->Execute(CardArchive::compact());
    const double ms = double(t.nsecsElapsed()) / 1e6;
    std::printf("%.0f %ld %ld\n", ms, before, maxRssKb());
    return 0;
}

void build(const QString& dir, int cards)
{
    AppPaths::setDataDir(dir);
    const CardArchive& a = Archives::card(ArchiveKind::Messages);
    auto db = a.open();
    QRandomGenerator rng(11);
    const int body = int(a.valueColumns().indexOf("varTesto"));
    db->StartTransaction();
    for (int i = 0; i < cards; ++i) {
        QList<QByteArray> v(a.valueCount());
        v[0] = "Ufficio " + QByteArray::number(i % 50);
        v[1] = "ufficio@example.it";
        v[5] = "cliente" + QByteArray::number(i) + "@example.it";
        v[6] = "Newsletter " + QByteArray::number(i);
        QByteArray text(4096, ' ');
        for (char& c : text)
            c = char('a' + rng.bounded(26));
        v[body] = text;
        db->Execute(a.insert(v));
    }
    db->CommitTransaction();
    // 10 % deleted, spread over the file.
    db->StartTransaction();
    for (int id = 1; id <= cards; id += 10)
        db->Execute(a.deleteCard(id));
    db->CommitTransaction();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--child")
        return runOnce(args[2], args[3] == "routine");

    const int cards = args.size() > 1 ? args[1].toInt() : 100000;
    QTemporaryDir work;
    const QString master = work.filePath("master");
    QDir().mkpath(master);
    build(master, cards);
    const QString file = Archives::card(ArchiveKind::Messages).fileName();
    std::printf("archive: %d cards, 4 KB bodies, 10 %% deleted: %.1f MB\n", cards,
        double(QFileInfo(master + "/" + file).size()) / 1e6);

    for (const bool routine : { false, true }) {
        const QString copy = work.filePath(routine ? "routine" : "plain");
        QDir().mkpath(copy);
        QFile::remove(copy + "/" + file);
        QFile::copy(master + "/" + file, copy + "/" + file);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { "--child", copy, routine ? "routine" : "plain" });
        child.waitForFinished(-1);
        const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
        if (f.size() != 3) {
            std::printf("run failed: %s\n", child.readAllStandardError().constData());
            return 1;
        }
        std::printf("%-44s %8s ms   peak RSS %7.1f MB (%.1f MB before VACUUM)   file after %.1f MB\n",
            routine ? "ArchiveCompaction::vacuum (temp_store FILE)" : "plain VACUUM (temp_store MEMORY)",
            f[0].constData(), f[2].toDouble() / 1024, f[1].toDouble() / 1024,
            double(QFileInfo(copy + "/" + file).size()) / 1e6);
    }
    return 0;
}
