// Backup and restore of a large messages archive (about 460 MB, 4 KB bodies)
// beside small contacts and groups archives: time and peak memory of making
// the backup, checking it and restoring it, against a plain copy of the
// files. Each run is a child process, so its peak memory is its own.
//
//   bench_backup [cards]
#include "accessories/data_backup.h"
#include "archives/archive_registry.h"
#include "bench_util.h"
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

#include <cstdio>

namespace {

void build(const QString& dir, int cards)
{
    AppPaths::setDataDir(dir);
    const CardArchive& a = Archives::card(ArchiveKind::Messages);
    auto db = a.open();
    QRandomGenerator rng(11);
    const int body = int(a.valueColumns().indexOf("varTesto"));
    // Words, so the text packs as real text does.
    const QList<QByteArray> words { "gentile", "cliente", "la", "nostra", "offerta", "di", "primavera", "per", "lo",
        "studio", "con", "sconti", "fino", "al", "trenta", "per", "cento", "su", "tutti", "i", "prodotti",
        "ordinati", "entro", "fine", "mese", "cordiali", "saluti", "ufficio", "commerciale" };
    db->StartTransaction();
    for (int i = 0; i < cards; ++i) {
        QList<QByteArray> v(a.valueCount());
        v[0] = "Ufficio " + QByteArray::number(i % 50);
        v[1] = "ufficio@example.it";
        v[5] = "cliente" + QByteArray::number(i) + "@example.it";
        v[6] = "Newsletter " + QByteArray::number(i);
        QByteArray text;
        while (text.size() < 4096)
            text += words[int(rng.bounded(words.size()))] + (rng.bounded(12) ? " " : ".\r\n");
        v[body] = text;
        db->Execute(a.insert(v));
    }
    db->CommitTransaction();
    auto contacts = Archives::card(ArchiveKind::Contacts).open();
    contacts->Execute(Archives::card(ArchiveKind::Contacts).insert(
        QList<QByteArray>(Archives::card(ArchiveKind::Contacts).valueCount(), "x")));
    QFile ini(AppPaths::beside("Messaggi.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Archivio Messaggi]\r\nMittente=Ufficio\r\n");
}

// Child: one step on the data in dir; prints "ms rssBeforeMiB peakMiB".
int child(const QString& step, const QString& dir, const QString& out)
{
    AppPaths::setDataDir(dir);
    const double before = procStatusMiB("VmRSS");
    QElapsedTimer t;
    t.start();
    QString error;
    const QString zip = out + "/copia.zip";
    if (step == "copy") {
        for (const DataBackup::File& f : DataBackup::files())
            if (QFile::exists(AppPaths::beside(f.name))) {
                QFile::remove(out + "/" + f.name);
                QFile::copy(AppPaths::beside(f.name), out + "/" + f.name);
            }
    } else if (step == "create") {
        QFile::remove(zip);
        error = DataBackup::create(zip, out + "/lavoro", "bench").error;
        QDir(out + "/lavoro").removeRecursively();
    } else if (step == "check") {
        error = DataBackup::check(zip, out + "/verifica").error;
        QDir(out + "/verifica").removeRecursively();
    } else if (step == "restore") {
        const DataBackup::Checked c = DataBackup::check(zip, out + "/verifica");
        t.restart();
        error = DataBackup::restore(c, out + "/via");
        QDir(out + "/via").removeRecursively();
        QDir(out + "/verifica").removeRecursively();
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%.1f %.1f %.1f\n", double(t.nsecsElapsed()) / 1e6, before, procStatusMiB("VmHWM"));
    return 0;
}

void measure(const char* what, const QString& step, const QString& data, const QString& out)
{
    std::vector<double> ms, peak;
    for (int i = 0; i < 3; ++i) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QCoreApplication::applicationFilePath(), { "--child", step, data, out });
        p.waitForFinished(-1);
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (f.size() != 3)
            return;
        ms.push_back(f[0].toDouble());
        peak.push_back(f[2].toDouble() - f[1].toDouble());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(peak.begin(), peak.end());
    std::printf("%-46s %9.0f ms   peak memory +%6.1f MiB\n", what, ms[1], peak[1]);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == "--child")
        return child(args[2], args[3], args[4]);
    const int cards = args.size() > 1 ? args[1].toInt() : 100000;
    QTemporaryDir work;
    const QString data = work.filePath("dati");
    const QString out = work.filePath("copie");
    QDir().mkpath(data);
    QDir().mkpath(out);
    build(data, cards);
    qint64 total = 0;
    for (const DataBackup::File& f : DataBackup::files())
        total += QFileInfo(data + "/" + f.name).size();
    std::printf("data: messages archive %.1f MB (%d cards), %.1f MB in all\n",
        double(QFileInfo(data + "/Messaggi.db").size()) / 1e6, cards, double(total) / 1e6);
    measure("plain copy of the files", "copy", data, out);
    measure("backup (online copy, SHA-256, zip)", "create", data, out);
    std::printf("  backup file %.1f MB\n", double(QFileInfo(out + "/copia.zip").size()) / 1e6);
    measure("check (unzip, SHA-256, integrity_check)", "check", data, out);
    measure("restore (check not counted)", "restore", data, out);
    return 0;
}
