#include "support/test_archives.h"

#include "contacts/frm_rubrica.h"
#include "groups/frm_gruppi.h"
#include "messages/frm_newsletter.h"

#include <QtTest>

namespace {

// The editor of each archive; a new archive is one more line here.
CardEditor* makeEditor(ArchiveKind kind)
{
    static const QList<QPair<ArchiveKind, std::function<CardEditor*()>>> editors = {
        { ArchiveKind::Contacts, [] { return new TfrmRubrica; } },
        { ArchiveKind::Groups, [] { return new TfrmGruppi; } },
        { ArchiveKind::Messages, [] { return new TfrmNewsletter; } },
    };
    for (const auto& [k, make] : editors)
        if (k == kind)
            return make();
    qFatal("no editor for the archive of kind %d in tests/support/test_archives.cpp", int(kind));
}

} // namespace

QList<QPair<QString, QString>> TestArchive::requiredValues() const
{
    QList<QPair<QString, QString>> values;
    for (const auto& r : definition->required)
        values.append({ r.control, r.control.mid(3) + QStringLiteral("@prova.it") });
    return values;
}

const QList<TestArchive>& TestArchives::all()
{
    static const QList<TestArchive> list = [] {
        QList<TestArchive> l;
        for (const ArchiveDefinition* d : Archives::all())
            l.append({ d, [kind = d->kind] { return makeEditor(kind); } });
        return l;
    }();
    return list;
}

void TestArchives::addRows(const QStringList& cases)
{
    QTest::addColumn<int>("archive");
    for (int a = 0; a < all().size(); ++a) {
        if (cases.isEmpty())
            QTest::newRow(qPrintable(all()[a].name())) << a;
        for (const QString& c : cases)
            QTest::newRow(qPrintable(all()[a].name() + QLatin1Char('/') + c)) << a;
    }
}

const TestArchive& TestArchives::fetch()
{
    QFETCH(int, archive);
    return all()[archive];
}
