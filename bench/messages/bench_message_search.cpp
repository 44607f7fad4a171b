// From the click on "Cerca in archivio" to the filled, sorted list, against a
// bare sqlite3 loop running the same condition and reading the same columns,
// over 100,000 message cards with 4 KB bodies; and the peak memory of each.
#include "bench_util.h"
#include "messages/message_search.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

#include <sqlite3.h>

namespace {

const char* kSubjects[] = { "Promozione di primavera", "Invito all'evento", "Auguri", "Resoconto mensile" };
const char* kTypes[] = { "Newsletter", "Comunicazione", "Invito" };

// Peak resident memory restarts from the current resident memory.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

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

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    const CardArchive& a = CardArchive::of(ArchiveKind::Messages);
    {
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

    const QList<QByteArray> listed = MessageSearch::listLine().columns();
    const Case cases[] = {
        { "(a) Testo, no card", QStringLiteral("Testo"), QStringLiteral("introvabile"), "varTesto" },
        { "(b) Oggetto, ~25 %", QStringLiteral("Oggetto"), QStringLiteral("primavera"), "varOggetto" },
        { "(c) Testo, every card", QStringLiteral("Testo"), QStringLiteral("gentile"), "varTesto" },
    };

    auto owned = std::make_unique<TfrmRicercaMes>();
    TfrmRicercaMes& form = *owned;
    form.show();
    auto* button = form.findChild<QPushButton*>("btnPopola");
    auto db = a.open();
    for (const Case& c : cases) {
        form.findChild<QComboBox*>("cboCriterio")->setCurrentText(c.criterion);
        form.findChild<QLineEdit*>("txtCriterio")->setText(c.key);
        const QByteArray sql = a.matchingAll({ CardArchive::likeCondition(c.column, c.key.toLatin1()) }, listed);

        bareLoop(db->handle(), sql.constData());
        resetPeak();
        const double bareBefore = procStatusMiB("VmRSS");
        const double bare = medianMs(5, [&] { bareLoop(db->handle(), sql.constData()); });
        const double barePeak = procStatusMiB("VmHWM");

        form.findChild<QComboBox*>("cboCriterio")->setCurrentText(c.criterion);
        button->click();
        QCoreApplication::processEvents();
        resetPeak();
        const double before = procStatusMiB("VmRSS");
        const double click = medianMs(5, [&] {
            button->click();
            QCoreApplication::processEvents(); // the list is laid out and painted
        });
        const double peak = procStatusMiB("VmHWM");

        std::printf("%s: %lld cards listed\n", c.name, (long long)form.lines().size());
        report("  bare sqlite3 loop", bare);
        report("  click to filled, sorted list", click, bare);
        std::printf("  peak memory: bare loop %.1f MiB (from %.1f), form %.1f MiB (from %.1f)\n\n", barePeak,
            bareBefore, peak, before);
    }

    // The same form reading whole cards, as the list did before: case (c).
    db.reset();
    SearchConfig whole = MessageSearch::config(false);
    whole.listColumnsOnly = false;
    QuickSearchForm old(whole, MessageSearch::criteria());
    old.show();
    old.findChild<QComboBox*>("cboCriterio")->setCurrentText(QStringLiteral("Testo"));
    old.findChild<QLineEdit*>("txtCriterio")->setText(QStringLiteral("gentile"));
    owned.reset();
    resetPeak();
    const double before = procStatusMiB("VmRSS");
    const double click = medianMs(5, [&] {
        old.findChild<QPushButton*>("btnPopola")->click();
        QCoreApplication::processEvents();
    });
    std::printf(
        "(c) reading whole cards instead: %.2f ms, peak %.1f MiB (from %.1f)\n", click, procStatusMiB("VmHWM"), before);
    return 0;
}
