#include "contacts/province_codes.h"

#include "storage/ascii.h"

const QStringList& ProvinceCodes::all()
{
    static const QStringList list = QStringLiteral(
        "AG AL AN AO AP AQ AR AT AV BA BG BI BL BN BO BR BS BT BZ CA CB CE CH CI CL CN CO CR CS CT CZ EE EN FC FE FG "
        "FI FM FO FR GE GO GR IM IS KR LC LE LI LO LT LU MB MC MD ME MI MN MO MS MT NA NO NU OG OR OT PA PC PD PE PG "
        "PI PN PO PR PT PU PV PZ RA RC RE RG RI RM RN RO SA SI SO SP SR SS SV TA TE TN TO TP TR TS TV UD VA VB VC VE "
        "VI VR VT VV")
                                        .split(QLatin1Char(' '));
    return list;
}

QString ProvinceCodes::codeOf(const QString& text)
{
    // a-z only: Unicode would make "ß" the code of Sassari.
    const QString code = Ascii::upper(text.trimmed());
    return code.size() == 2 && all().contains(code) ? code : QString();
}
