#include "ui/print_layout.h"

#include "ui/short_date.h"

QList<PrintItem> PrintLayout::layout(const PrintRequest& request, const PageMetrics& m, const QString& footer)
{
    QList<PrintItem> items;
    int page = 0;
    int y = 2 * m.h14;
    items.append({ page, 150, y, 14, request.rule });
    y += m.h12;
    items.append({ page, 150, y, 12, request.title });
    y += m.h12;
    items.append({ page, 150, y, 14, request.rule });
    y += 3 * m.h8;
    for (const QString& line : request.lines) {
        if (y >= m.pageHeight - 3 * m.h8) {
            ++page;
            y = 2 * m.h8;
        }
        items.append({ page, 150, y, 8, line });
        y += 2 * m.h8;
    }
    // The footer would fall off the sheet: it goes on a page of its own.
    if (y + 150 + m.h8 > m.pageHeight) {
        ++page;
        y = 2 * m.h8;
    }
    items.append({ page, 150, y + 50, 8, QString(20, QLatin1Char('_')) });
    items.append({ page, 150, y + 150, 8, footer });
    return items;
}

QString PrintLayout::footer(const QDateTime& when)
{
    return QStringLiteral("Stampa eseguita in data ") + ShortDate::text(when.date()) + QStringLiteral(" alle ore ")
        + when.time().toString(QStringLiteral("HH:mm:ss"));
}

int PrintLayout::pageCount(const QList<PrintItem>& items) { return items.isEmpty() ? 0 : items.last().page + 1; }

