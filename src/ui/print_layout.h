#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// A printed result list: two rules around a title, the lines in a small
// fixed-pitch font with page breaks, and a dated footer.
struct PrintRequest {
    QString rule; // the dashes above and below the title
    QString title;
    QStringList lines;
};

struct PrintItem {
    int page = 0;
    int x = 150;
    int y = 0;
    int pointSize = 8;
    QString text;
};

struct PageMetrics {
    int pageHeight = 0;
    int h8 = 0; // font heights at 8, 12 and 14 points, in device pixels
    int h12 = 0;
    int h14 = 0;
};

namespace PrintLayout {
QList<PrintItem> layout(const PrintRequest& request, const PageMetrics& metrics, const QString& footer);
// "Stampa eseguita in data " + short date + " alle ore " + time.
QString footer(const QDateTime& when);
int pageCount(const QList<PrintItem>& items);
} // namespace PrintLayout

