#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Every check sees the same bytes three ways, so that single bytes, UTF-8
// sequences (and broken ones) and raw UTF-16 code units, lone surrogates
// included, all reach it.
template <typename Check> void forEachDecoding(const std::uint8_t* data, std::size_t size, Check check)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    check(QString::fromLatin1(bytes, length));
    check(QString::fromUtf8(bytes, length));
    QString units(length / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < units.size(); ++i)
        units[i] = QChar(char16_t(data[2 * i] | (data[2 * i + 1] << 8)));
    check(units);
}

// A broken property is a finding: stop with a crash libFuzzer records.
#define FUZZ_REQUIRE(condition)                                                                                        \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            std::abort();                                                                                              \
    } while (false)

#ifdef VELMARO_FUZZ_IMPORT
#include "contacts/import/contact_import.h"
#include "archives/archive_registry.h"
#include "storage/card_archive.h"

// The quick judgement of the preview agrees with the full one that stores.
inline void requireSameVerdict(const ImportedContact& c)
{
    const ImportRow full = ContactImport::judge(c);
    QString email;
    FUZZ_REQUIRE(ContactImport::verdict(c, &email) == full.status);
    if (full.status == ImportRow::Status::Ready)
        FUZZ_REQUIRE(email == full.texts.value(Archives::get(ArchiveKind::Contacts).indexOf(QStringLiteral("txtEmail"))));
}
#endif
