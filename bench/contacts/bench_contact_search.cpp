// From the click on "Cerca in archivio" to the filled, sorted list, against
// the bare query loop, over 100,000 contacts with a key hitting ~10,000.
#include "archives/archive_registry.h"
#include "bench_util.h"
#include "ui/search_forms.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {
const char* kCities[]
    = { "Milano", "Roma", "Torino", "Napoli", "Bologna", "Firenze", "Genova", "Bari", "Verona", "Padova" };
const char* kSurnames[] = { "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci" };

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    const CardArchive& a = Archives::card(ArchiveKind::Contacts);
    {
        auto db = a.open();
        QRandomGenerator rng(7);
        db->StartTransaction();
        for (int i = 0; i < 100000; ++i) {
            QList<QByteArray> v(a.valueCount());
            v[0] = QByteArray(kSurnames[rng.bounded(8)]) + " Cliente " + QByteArray::number(rng.bounded(1000000));
            v[1] = "C" + QByteArray::number(i);
            v[2] = "Azienda " + QByteArray::number(rng.bounded(5000));
            v[4] = "cliente" + QByteArray::number(i) + "@example.it";
            v[5] = "Clienti";
            v[7] = kCities[rng.bounded(10)];
            db->Execute(a.insert(v));
        }
        db->CommitTransaction();
    }
    QuickSearchForm form(Archives::get(ArchiveKind::Contacts));
    form.show();
    form.findChild<QComboBox*>("cboCriterio")->setCurrentText(QStringLiteral("Città"));
    form.findChild<QLineEdit*>("txtCriterio")->setText(QStringLiteral("roma"));
    auto* button = form.findChild<QPushButton*>("btnPopola");
    auto* list = form.findChild<QListView*>("lstRecords");

    auto db = a.open();
    const QByteArray sql = a.contains("varCitta", "roma");
    bareLoop(*db, sql);
    button->click();
    std::printf("cards listed: %lld\n\n", (long long)form.lines().size());

    const double bare = medianMs(5, [&] { bareLoop(*db, sql); });
    const double click = medianMs(5, [&] {
        button->click();
        QCoreApplication::processEvents(); // the list is laid out and painted
    });
    report("bare query loop", bare);
    report("click to filled, sorted list", click, bare);

    // Scrolling: one page down at a time over the whole list, painting each.
    const double scroll = medianMs(5, [&] {
        for (int i = 0; i < 50; ++i) {
            list->verticalScrollBar()->setValue(
                list->verticalScrollBar()->value() + list->verticalScrollBar()->pageStep());
            list->viewport()->repaint();
        }
    });
    report("50 page-downs with repaint", scroll);
    std::printf("one page-down with repaint: %.2f ms\n", scroll / 50);

    // Memory held by the form after listing every card.
    form.findChild<QComboBox*>("cboCriterio")->setCurrentText(QStringLiteral("Cognome e nome contatto"));
    form.findChild<QLineEdit*>("txtCriterio")->setText(QStringLiteral("Cliente"));
    db.reset();
    const double before = procStatusMiB("VmRSS");
    button->click();
    QCoreApplication::processEvents();
    std::printf("\nall-cards search: %lld lines; resident %.1f MiB -> %.1f MiB (+%.1f), peak %.1f MiB\n",
        (long long)form.lines().size(), before, procStatusMiB("VmRSS"), procStatusMiB("VmRSS") - before,
        procStatusMiB("VmHWM"));
    return 0;
}
