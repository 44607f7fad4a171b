#include "validators/vat_number.h"

#include "storage/ascii.h"

#include <QStringView>

namespace {

struct VatOffice {
    QStringView code;
    QStringView name;
};

// 120 and 121 are later codes of the second offices of Bologna and Naples.
constexpr VatOffice vatOffices[] = {
    { u"001", u"Torino" },
    { u"002", u"Vercelli" },
    { u"003", u"Novara" },
    { u"004", u"Cuneo" },
    { u"005", u"Asti" },
    { u"006", u"Alessandria" },
    { u"007", u"Aosta" },
    { u"008", u"Imperia" },
    { u"009", u"Savona" },
    { u"010", u"Genova 1" },
    { u"011", u"La Spezia" },
    { u"012", u"Varese" },
    { u"013", u"Como" },
    { u"014", u"Sondrio" },
    { u"015", u"Milano 1" },
    { u"016", u"Bergamo" },
    { u"017", u"Brescia 1" },
    { u"018", u"Pavia" },
    { u"019", u"Cremona" },
    { u"020", u"Mantova" },
    { u"021", u"Bolzano" },
    { u"022", u"Trento" },
    { u"023", u"Verona" },
    { u"024", u"Vicenza" },
    { u"025", u"Belluno" },
    { u"026", u"Treviso" },
    { u"027", u"Venezia" },
    { u"028", u"Padova" },
    { u"029", u"Rovigo" },
    { u"030", u"Udine" },
    { u"031", u"Gorizia" },
    { u"032", u"Trieste" },
    { u"033", u"Piacenza" },
    { u"034", u"Parma" },
    { u"035", u"Reggio Emilia" },
    { u"036", u"Modena" },
    { u"037", u"Bologna 1" },
    { u"038", u"Ferrara" },
    { u"039", u"Ravenna" },
    { u"040", u"Forlì" },
    { u"041", u"Pesaro" },
    { u"042", u"Ancona" },
    { u"043", u"Macerata" },
    { u"044", u"Ascoli Piceno" },
    { u"045", u"Massa Carrara" },
    { u"046", u"Lucca" },
    { u"047", u"Pistoia" },
    { u"048", u"Firenze 1" },
    { u"049", u"Livorno" },
    { u"050", u"Pisa" },
    { u"051", u"Arezzo" },
    { u"052", u"Siena" },
    { u"053", u"Grosseto" },
    { u"054", u"Perugia" },
    { u"055", u"Terni" },
    { u"056", u"Viterbo" },
    { u"057", u"Rieti" },
    { u"058", u"Roma 1" },
    { u"059", u"Latina" },
    { u"060", u"Frosinone" },
    { u"061", u"Caserta" },
    { u"062", u"Benevento" },
    { u"063", u"Napoli 1" },
    { u"064", u"Avellino" },
    { u"065", u"Salerno" },
    { u"066", u"Aquila" },
    { u"067", u"Teramo" },
    { u"068", u"Pescara" },
    { u"069", u"Chieti" },
    { u"070", u"Campobasso" },
    { u"071", u"Foggia" },
    { u"072", u"Bari" },
    { u"073", u"Taranto" },
    { u"074", u"Brindisi" },
    { u"075", u"Lecce" },
    { u"076", u"Potenza" },
    { u"077", u"Matera" },
    { u"078", u"Cosenza" },
    { u"079", u"Catanzaro" },
    { u"080", u"Reggio Calabria" },
    { u"081", u"Trapani" },
    { u"082", u"Palermo" },
    { u"083", u"Messina" },
    { u"084", u"Agrigento" },
    { u"085", u"Caltanissetta" },
    { u"086", u"Enna" },
    { u"087", u"Catania" },
    { u"088", u"Ragusa" },
    { u"089", u"Siracusa" },
    { u"090", u"Sassari" },
    { u"091", u"Nuoro" },
    { u"092", u"Cagliari" },
    { u"093", u"Pordenone" },
    { u"094", u"Isernia" },
    { u"095", u"Oristano" },
    { u"096", u"Monza (Milano 2)" },
    { u"097", u"Prato (Firenze 2)" },
    { u"098", u"Brescia 2" },
    { u"099", u"Chiavari (Genova 2)" },
    { u"100", u"Roma 2" },
    { u"101", u"Bologna 2" },
    { u"102", u"Napoli 2" },
    { u"120", u"Bologna 2" },
    { u"121", u"Napoli 2" },
};
static_assert(std::size(vatOffices) == 104);

} // namespace

bool PartitaIvaIsValid(const QString& number)
{
    if (number.size() != 11 || !Ascii::allDigits(number))
        return false;

    int sum = 0;
    for (qsizetype i = 0; i < 10; ++i) {
        const int digit = number[i].unicode() - u'0';
        if (i % 2 == 0) {
            sum += digit; // odd position (1-based)
        } else {
            const int doubled = 2 * digit;
            sum += doubled / 10 + doubled % 10; // digit sum of 2d
        }
    }
    const int check = (10 - sum % 10) % 10;
    return number[10].unicode() - u'0' == check;
}

QString VatOfficeName(const QString& code)
{
    for (const VatOffice& office : vatOffices)
        if (code == office.code)
            return office.name.toString();
    return QString();
}
