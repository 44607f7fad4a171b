// cmdExcel to the grid shown, and "Esporta in Excel" to the file written,
// over 100,000 contacts or 100,000 message cards with 4 KB bodies: time,
// peak memory and file size, against a bare sqlite3 loop over the same
// columns. One archive per run, so each peak is measured on its own:
//   bench_exports contacts | messages [memory]
// With "memory" the grid is filled once and nothing else runs before it, so
// the peak is the export's own.
#include "archives/archive_registry.h"
#include "accessories/export_profile.h"
#include "accessories/frm_export.h"
#include "bench_util.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

class NoDesktop final : public IDesktop {
public:
    bool open(const QString& target) override
    {
        opened = target;
        return true;
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString existingDirectory(QWidget*, const QString&, const QString&) override { return {}; }
    QString opened;
};

class PrintedDialogs final : public IDialogs {
public:
    void message(const QString& t) override { std::printf("message: %s\n", qPrintable(t)); }
    void warning(const QString&, const QString& t) override { std::printf("warning: %s\n", qPrintable(t)); }
    void information(const QString&, const QString& t) override { std::printf("info: %s\n", qPrintable(t)); }
    bool confirm(const QString&, const QString&, bool) override { return true; }
    void error(const QString& t, const QString&) override { std::printf("error: %s\n", qPrintable(t)); }
};

// Resident set now and its peak since the last reset, in MB.
double statusMb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

QByteArray word(QRandomGenerator& rng, int length)
{
    QByteArray w(length, 'a');
    for (char& c : w)
        c = char('a' + rng.bounded(26));
    return w;
}

void fill(ArchiveKind kind)
{
    const CardArchive& a = Archives::card(kind);
    auto db = a.open();
    QRandomGenerator rng(11);
    db->StartTransaction();
    for (int i = 0; i < 100000; ++i) {
        QList<QByteArray> v(a.valueCount());
        if (kind == ArchiveKind::Contacts) {
            v[0] = "Rossi " + word(rng, 8);
            v[1] = "C" + QByteArray::number(i);
            v[2] = "Azienda " + word(rng, 10);
            v[3] = "Impiegato";
            v[4] = "cliente" + QByteArray::number(i) + "@example.it";
            v[5] = "Clienti";
            v[6] = "Via " + word(rng, 12) + ", " + QByteArray::number(rng.bounded(200));
            v[7] = "Citt\xe0 " + word(rng, 6);
            v[8] = "00" + QByteArray::number(100 + rng.bounded(800));
            v[9] = "MI";
            v[10] = "+39 3" + QByteArray::number(rng.bounded(100000000));
            v[12] = "02 " + QByteArray::number(rng.bounded(10000000));
            v[14] = "RSSMRA80A01F205X";
            v[15] = "0" + QByteArray::number(1000000000 + rng.bounded(900000000));
            v[17] = "Bonifico a 30 giorni";
            v[18] = word(rng, 200);
        } else {
            v[0] = "Ufficio " + word(rng, 6);
            v[1] = "ufficio@example.it";
            v[2] = "Newsletter";
            v[3] = "08/12/2026";
            v[4] = word(rng, 40);
            v[5] = "a@example.it,b@example.it";
            v[6] = "Oggetto " + word(rng, 20);
            v[7] = word(rng, 4096);
            v[8] = "/home/utente/allegato.pdf";
        }
        db->Execute(a.insert(v));
    }
    db->CommitTransaction();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool messages = argc > 1 && std::strcmp(argv[1], "messages") == 0;
    const ArchiveKind kind = messages ? ArchiveKind::Messages : ArchiveKind::Contacts;
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    QApplication app(argc, argv);
    NoDesktop desktop;
    Desktop::install(&desktop);
    PrintedDialogs dialogs;
    Dialogs::install(&dialogs);
    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    fill(kind);
    std::printf("%s: 100,000 cards, archive %.1f MB\n", messages ? "messages" : "contacts",
        double(QFileInfo(Archives::card(kind).path()).size()) / 1e6);

    const ExportProfile profile = ExportProfile::of(Archives::get(kind));
    const QByteArray sql = profile.gridQuery();
    const bool memoryOnly = argc > 2 && std::strcmp(argv[2], "memory") == 0;
    if (memoryOnly) {
        TfrmExport window(Archives::get(kind));
        const double before = statusMb("VmRSS:");
        resetPeak();
        window.show();
        QCoreApplication::processEvents();
        const double gridPeak = statusMb("VmHWM:") - before;
        window.imgExcelMouseUp();
        std::printf("peak with the grid shown: %.1f MB\n", gridPeak);
        const double peak = statusMb("VmHWM:") - before;
        qint64 text = 0;
        const ExportTable& t = window.model()->table();
        for (int r = 0; r < t.rowCount(); ++r)
            for (int c = 0; c < t.columnCount(); ++c)
                text += t.bytes(r, c).size();
        std::printf("exported text %.1f MB; peak memory of grid + workbook above the idle program: %.1f MB "
                    "(%.2fx the exported text)\n",
            double(text) / 1e6, peak, peak * 1048576.0 / double(text));
        return 0;
    }
    double bare = 0;
    {
        auto db = Archives::card(kind).open();
        bareLoop(*db, sql); // warm the page cache
        bare = medianMs(3, [&] { bareLoop(*db, sql); });
    }
    report("bare sqlite3 loop, exported columns", bare);

    TfrmExport window(Archives::get(kind));
    const double grid = medianMs(3, [&] {
        window.show();
        QCoreApplication::processEvents();
        window.close();
    });
    report("cmdExcel -> grid shown (median of 3)", grid, bare);

    window.show();
    QCoreApplication::processEvents();
    qint64 text = 0;
    const ExportTable& t = window.model()->table();
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            text += t.bytes(r, c).size();
    QElapsedTimer timer;
    timer.start();
    window.imgExcelMouseUp();
    const double written = double(timer.nsecsElapsed()) / 1e6;
    report("\"Esporta in Excel\" -> file written", written);
    std::printf("grid rows: %d, exported text %.1f MB\n", window.model()->rowCount(), double(text) / 1e6);
    std::printf("workbook: %.1f MB (%s)\n", double(QFileInfo(desktop.opened).size()) / 1e6,
        qPrintable(QFileInfo(desktop.opened).fileName()));
    return 0;
}
