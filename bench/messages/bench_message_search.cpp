// From the click on "Cerca in archivio" to the filled, sorted list, against a
// bare sqlite3 loop running the same condition and reading the same columns,
// over 100,000 message cards with 4 KB bodies; and the peak memory of each.
#include "archives/archive_registry.h"
#include "bench_util.h"
#include "ui/search_forms.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

const char* kSubjects[] = { "Promozione di primavera", "Invito all'evento", "Auguri", "Resoconto mensile" };
const char* kTypes[] = { "Newsletter", "Comunicazione", "Invito" };

QByteArray body(QRandomGenerator& rng)
{
    static const char* words[] = { "cliente", "offerta", "sconto", "catalogo", "ordine", "consegna", "prezzo" };
    QByteArray b = "Gentile cliente,\r\n";
    while (b.size() < 4096)
        b += QByteArray(words[rng.bounded(7)]) + (rng.bounded(12) == 0 ? "\r\n" : " ");
    b.truncate(4096);
    return b;
}

struct Case {
    const char* name;
    QString criterion;
    QString key;
    QByteArray column;
};

const Case kCases[] = {
    { "(a) Testo, no card", QStringLiteral("Testo"), QStringLiteral("introvabile"), "varTesto" },
    { "(b) Oggetto, ~25 %", QStringLiteral("Oggetto"), QStringLiteral("primavera"), "varOggetto" },
    { "(c) Testo, every card", QStringLiteral("Testo"), QStringLiteral("gentile"), "varTesto" },
};

void buildArchive()
{
    const CardArchive& a = Archives::card(ArchiveKind::Messages);
    auto db = a.open();
    QRandomGenerator rng(11);
    db->StartTransaction();
    for (int i = 0; i < 100000; ++i) {
        QList<QByteArray> v(a.valueCount());
        v[0] = "Ufficio " + QByteArray::number(rng.bounded(50));
        v[1] = "ufficio" + QByteArray::number(rng.bounded(50)) + "@example.it";
        v[2] = kTypes[rng.bounded(3)];
        v[3] = QByteArray::number(1 + rng.bounded(28)) + "/0" + QByteArray::number(1 + rng.bounded(9)) + "/2026";
        v[4] = "Nota " + QByteArray::number(i);
        v[5] = "a@example.it,b@example.it";
        v[6] = QByteArray(kSubjects[i % 4]) + " n. " + QByteArray::number(i);
        v[7] = body(rng);
        db->Execute(a.insert(v));
    }
    db->CommitTransaction();
}

// One measurement in this process: "bare", "form", "whole" (the form reading
// whole cards, as the list did before) or "idle" (no search). Prints lines,
// median and peak.
int measure(const Case& c, const QString& what)
{
    const CardArchive& a = Archives::card(ArchiveKind::Messages);
    if (what == "bare") {
        auto db = a.open();
        const QByteArray sql = a.matchingAll(
            { CardArchive::likeCondition(c.column, c.key.toLatin1()) }, SearchConfig::lineOf(Archives::get(ArchiveKind::Messages)).columns());
        size_t values = 0;
        const double ms = medianMs(5, [&] { values = bareLoop(*db, sql); });
        std::printf("%lld %f %f\n", (long long)values / 6, ms, procStatusMiB("VmHWM"));
        return 0;
    }
    SearchConfig config = SearchConfig::of(Archives::get(ArchiveKind::Messages), false);
    config.listColumnsOnly = what == "form";
    QuickSearchForm form(config, QuickSearchForm::criteriaOf(Archives::get(ArchiveKind::Messages)));
    form.show();
    form.findChild<QComboBox*>("cboCriterio")->setCurrentText(c.criterion);
    form.findChild<QLineEdit*>("txtCriterio")->setText(c.key);
    auto* button = form.findChild<QPushButton*>("btnPopola");
    if (what == "idle") {
        QCoreApplication::processEvents();
        std::printf("0 0 %f\n", procStatusMiB("VmHWM"));
        return 0;
    }
    const double ms = medianMs(5, [&] {
        button->click();
        QCoreApplication::processEvents(); // the list is laid out and painted
    });
    std::printf("%lld %f %f\n", (long long)form.lines().size(), ms, procStatusMiB("VmHWM"));
    return 0;
}

struct Figures {
    long long lines = -1;
    double ms = 0;
    double peakMiB = 0;
};

Figures runChild(const QString& dataDir, int index, const QString& what)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), { "--measure", dataDir, QString::number(index), what });
    p.waitForFinished(-1);
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != 3)
        return {};
    return { f[0].toLongLong(), f[1].toDouble(), f[2].toDouble() };
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == "--measure") {
        AppPaths::setDataDir(args[2]);
        return measure(kCases[args[3].toInt()], args[4]);
    }

    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    buildArchive();
    // Each measurement runs in a fresh process, so each peak is its own.
    std::printf("100,000 message cards with 4 KB bodies; median of 5; peak = the process's peak resident memory\n\n");
    for (int i = 0; i < 3; ++i) {
        const Figures bare = runChild(dir.path(), i, "bare");
        const Figures form = runChild(dir.path(), i, "form");
        std::printf("%s: %lld cards listed\n", kCases[i].name, form.lines);
        report("  bare sqlite3 loop", bare.ms);
        report("  click to filled, sorted list", form.ms, bare.ms);
        std::printf("  peak memory: bare loop process %.1f MiB, form process %.1f MiB\n", bare.peakMiB, form.peakMiB);
        if (i == 2) {
            const Figures whole = runChild(dir.path(), i, "whole");
            report("  the same, reading whole cards", whole.ms, bare.ms);
            std::printf("  peak memory reading whole cards: %.1f MiB\n", whole.peakMiB);
        }
        std::printf("\n");
    }
    std::printf("for scale, the same process with the form shown and no search: peak %.1f MiB\n",
        runChild(dir.path(), 0, "idle").peakMiB);
    return 0;
}
