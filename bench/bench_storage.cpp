// Storage layer against a bare sqlite3_step loop over 100,000 contacts.
#include "archives/archive_registry.h"
#include "bench_util.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <variant>

namespace {

const char* kSurnames[] = { "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci", "Marino",
    "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi", "Moretti" };
const char* kNames[] = { "Mario", "Luca", "Giulia", "Francesca", "Marco", "Anna", "Paolo", "Sara", "Andrea", "Chiara" };
const char* kCities[]
    = { "Milano", "Roma", "Torino", "Napoli", "Bologna", "Firenze", "Genova", "Bari", "Verona", "Padova" };

QList<QByteArray> realisticCard(QRandomGenerator& rng, int i)
{
    const QByteArray surname = kSurnames[rng.bounded(20)];
    const QByteArray name = kNames[rng.bounded(10)];
    const int city = rng.bounded(10);
    QList<QByteArray> v;
    v << surname + ' ' + name << "C" + QByteArray::number(i) << surname + " S.r.l."
      << "Impiegato" << name.toLower() + '.' + surname.toLower() + QByteArray::number(i) + "@example.it"
      << "Clienti"
      << "Via Garibaldi " + QByteArray::number(rng.bounded(200)) << kCities[city]
      << QByteArray::number(10000 + rng.bounded(89999)) << QByteArray(kCities[city]).left(2).toUpper()
      << "3" + QByteArray::number(rng.bounded(100000000, 999999999)) << ""
      << "02 1234567"
      << ""
      << "RSSMRA80A01H501U" << QByteArray::number(rng.bounded(10000000, 99999999)) + "123"
      << "IT60X0542811101000000123456"
      << "Regolare"
      << "Nessuna nota particolare per questo contatto."
      << ""
      << ""
      << ""
      << ""
      << ""
      << ""
      << ""
      << "";
    return v;
}



} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    const CardArchive& a = Archives::card(ArchiveKind::Contacts);
    const int cards = 100000;
    {
        auto db = a.open();
        QRandomGenerator rng(42);
        db->StartTransaction();
        for (int i = 0; i < cards; ++i)
            db->Execute(a.insert(realisticCard(rng, i)));
        db->CommitTransaction();
    }
    std::printf("%d contacts in %s\n\n", cards, qPrintable(a.path()));

    auto db = a.open();
    const QByteArray all = a.all();
    // "Rossi" is one surname in twenty; "ro" in the city hits Roma alone.
    const QByteArray search = a.contains("varCitta", "roma");
    std::printf("search hits: %u cards\n", db->Query(search)->RowCount());

    // One untimed pass each warms the page cache and the allocator.
    bareLoop(*db, all);
    db->Query(all);
    std::vector<double> bare, layer;
    const auto pair = [&](const QByteArray& sql) {
        bare.push_back(medianMs(1, [&] { bareLoop(*db, sql); }));
        layer.push_back(medianMs(1, [&] { db->Query(sql); }));
    };
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    for (int i = 0; i < 5; ++i)
        pair(all);
    report("bare loop, all", median(bare));
    report("Query(all)", median(layer), median(bare));
    bare.clear();
    layer.clear();
    for (int i = 0; i < 5; ++i)
        pair(search);
    report("bare loop, contains (~10%)", median(bare));
    report("Query(contains)", median(layer), median(bare));

    qint32 id = 50000;
    const double step = medianMs(25, [&] {
        bool existed = false;
        auto conn = a.open(&existed);
        auto t = conn->Query(a.next(id));
        t->First();
        id = qint32(t->IntegerAt(t->ColumnIndex("ID")));
    });
    report("navigation step (open + HasTable + LIMIT 1)", step);
    return 0;
}
