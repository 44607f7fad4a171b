// From the click on "Cerca in archivio" to the filled, sorted list, against
// the bare query loop, over 100,000 groups with 40-member lists (about 200
// MB): a key hitting about a tenth of the cards and a key listing them all.
// Peak memory of each step is measured from a reset high-water mark.
#include "archives/archive_registry.h"
#include "bench_util.h"
#include "ui/search_forms.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <malloc.h>
namespace {

const char* kSurnames[] = { "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci" };
const char* kTypes[] = { "Clienti", "Fornitori", "Soci", "Stampa", "Scuole", "Enti", "Volontari", "Partner",
    "Dipendenti", "Amici" };

// Hands freed heap back and starts a new high-water mark at the present
// resident size.
void resetPeak()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

struct Step {
    double ms;
    double peakMiB; // above the resident size at the start
};

Step measure(const std::function<void()>& body)
{
    resetPeak();
    const double start = procStatusMiB("VmRSS");
    body();
    const double peak = procStatusMiB("VmHWM") - start;
    return { medianMs(5, body), peak };
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    const CardArchive& a = Archives::card(ArchiveKind::Groups);
    {
        auto db = a.open();
        QRandomGenerator rng(7);
        db->StartTransaction();
        for (int i = 0; i < 100000; ++i) {
            QByteArrayList names;
            QByteArrayList addresses;
            for (int m = 0; m < 40; ++m) {
                const QByteArray n = QByteArray::number(rng.bounded(1000000));
                names << QByteArray(kSurnames[rng.bounded(8)]) + " S. " + n;
                addresses << "s" + n + "@assoc.it";
            }
            QList<QByteArray> v(a.valueCount());
            v[0] = "Gruppo " + QByteArray::number(i);
            v[1] = kTypes[i % 10];
            v[2] = "Descrizione del gruppo " + QByteArray::number(rng.bounded(5000));
            v[3] = names.join(", ");
            v[4] = addresses.join(',');
            v[6] = kSurnames[rng.bounded(8)];
            v[7] = "Buona";
            db->Execute(a.insert(v));
        }
        db->CommitTransaction();
    }
    std::printf("archive: %.0f MB\n\n", double(QFileInfo(a.path()).size()) / 1e6);

    QuickSearchForm form(Archives::get(ArchiveKind::Groups));
    form.show();
    auto* criterion = form.findChild<QComboBox*>("cboCriterio");
    auto* key = form.findChild<QLineEdit*>("txtCriterio");
    auto* button = form.findChild<QPushButton*>("btnPopola");
    auto db = a.open();

    struct Case {
        const char* what;
        const char* item;
        const char* column;
        const char* key;
    };
    for (const Case& c : { Case { "key hitting ~10 %", "Tipologia", "varTipologia", "fornitori" },
             Case { "key listing every card", "Nome gruppo", "varGruppo", "gruppo" } }) {
        criterion->setCurrentText(QString::fromLatin1(c.item));
        key->setText(QString::fromLatin1(c.key));
        // The same columns the form reads: ID and the list line's.
        const QByteArray sql
            = a.matchingAll({ CardArchive::likeCondition(c.column, c.key) }, SearchConfig::lineOf(Archives::get(ArchiveKind::Groups)).columns());
        const QByteArray whole = a.contains(c.column, c.key);
        bareLoop(*db, sql); // warm the page cache
        const Step bare = measure([&] { bareLoop(*db, sql); });
        const Step bareWhole = measure([&] { bareLoop(*db, whole); });
        form.hide();
        form.show(); // the list and the last result are let go
        const Step click = measure([&] {
            button->click();
            QCoreApplication::processEvents(); // the list is laid out and painted
        });
        std::printf("%s: %lld cards listed\n", c.what, (long long)form.lines().size());
        report("  bare loop, every column (for comparison)", bareWhole.ms);
        report("  bare query loop", bare.ms);
        report("  click to filled, sorted list", click.ms, bare.ms);
        std::printf("  peak memory: bare loop +%.1f MiB (every column +%.1f MiB), click +%.1f MiB; resident "
                    "after click %.1f MiB\n\n",
            bare.peakMiB, bareWhole.peakMiB, click.peakMiB, procStatusMiB("VmRSS"));
    }
    return 0;
}
