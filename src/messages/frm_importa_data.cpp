#include "messages/frm_importa_data.h"

#include "ui/app_locale.h"
#include "ui/short_date.h"

#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmImportaData* frmImportaData = nullptr;

TfrmImportaData::TfrmImportaData(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmImportaData"));
    setWindowTitle(QStringLiteral(" Importazione data"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel(QStringLiteral("Selezionare una data e premere Importa."), this);
    info->setObjectName(QStringLiteral("lblInfo"));
    layout->addWidget(info);
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("grpCalendario"));
    auto* boxLayout = new QVBoxLayout(box);
    calendar_ = new QCalendarWidget(box);
    calendar_->setObjectName(QStringLiteral("MonthCalendar"));
    // Italian month and day names and no week numbers, whatever the system's
    // language.
    calendar_->setLocale(AppLocale::italian());
    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setSelectedDate(QDate::currentDate());
    calendar_->setGridVisible(true);
    boxLayout->addWidget(calendar_, 0, Qt::AlignCenter);
    layout->addWidget(box);
    auto* importa = new QPushButton(QStringLiteral("Importa"), this);
    importa->setObjectName(QStringLiteral("cmdImporta"));
    layout->addWidget(importa, 0, Qt::AlignRight);
    memory_ = new QLabel(this);
    memory_->setObjectName(QStringLiteral("lblMemory"));
    memory_->hide();
    connect(importa, &QPushButton::clicked, this, &TfrmImportaData::cmdImportaClick);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmImportaData::setPick(const QString& mode, std::function<void(const QString&)> target)
{
    memory_->setText(mode);
    target_ = std::move(target);
}

void TfrmImportaData::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    calendar_->setFocus();
}

void TfrmImportaData::cmdImportaClick()
{
    if (memory_->text().trimmed() == QLatin1String("messaggi") && target_)
        target_(ShortDate::text(calendar_->selectedDate()));
    close();
}
