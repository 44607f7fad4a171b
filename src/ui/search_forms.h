#pragma once

#include "archives/archive_definition.h"
#include "ui/list_find.h"
#include "ui/list_line.h"
#include "ui/print_list.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;
class QGroupBox;

// What a search form of one archive is made of; the forms themselves are
// shared by the three archives.
struct SearchConfig {
    CardArchive archive;
    ListLineSpec line { {} };
    QString printRule;
    QString printTitle;
    QString printQuestion;
    bool printQuestionIcon = false;
    // The quick search reads only ID and the list's columns (large columns
    // stay on disk); the pick target then loads the chosen card by number.
    bool listColumnsOnly = true;

    // The quick or the advanced search of an archive.
    static SearchConfig of(const ArchiveDefinition& definition, bool advanced);
    // The result list line of an archive.
    static ListLineSpec lineOf(const ArchiveDefinition& definition);
};

// What a chosen card means to the caller that opened the search: it gets the
// result row of the chosen line (at least ID and the list's columns).
using PickTarget = std::function<void(const TSQLiteTable& row)>;

// The result list, its count, find-in-list, choose and print: everything
// the quick and the advanced searches have in common.
class SearchFormBase : public QDialog {
    Q_OBJECT
public:
    // The caller's mode word (kept in lblMemory) and where a chosen card goes.
    void setPick(const QString& mode, PickTarget target);
    QString mode() const;
    // Shows the form modally on behalf of a caller; a form that does not
    // exist (yet) is skipped.
    static void openAs(SearchFormBase* form, const QString& mode, PickTarget target);
    const SearchConfig& config() const { return config_; }
    QStringList lines() const;
    int selectedLine() const;
    void selectLine(int row);

    // The last search made in this form, so a caller can go back to its
    // result later (the contacts export): its conditions (joined by AND),
    // the caller's mode word then, and a number that grows with every search
    // of any form (0: no search yet).
    struct LastSearch {
        QList<QByteArray> conditions;
        QString mode;
        quint64 serial = 0;
    };
    const LastSearch& lastSearch() const { return lastSearch_; }

protected:
    SearchFormBase(SearchConfig config, QWidget* parent);

    QListView* makeList(QWidget* parent, int scrollExtent);
    QLabel* makeCount(QWidget* parent);
    // Opens the archive anew; false when its table had to be created.
    bool replaceConnection();
    void reopenQueryingFirst();
    // Fills the list from the rows of a search; sorted, case ignored.
    void showResult(std::unique_ptr<TSQLiteTable> rows);
    void clearList();
    void setCount(int count);
    void findInList(const QString& key);
    // Hands the result row the selected line came from to the caller.
    void chooseSelected();
    void printList();
    // The key as archive bytes; false when no stored text can hold it.
    static bool encodeKey(const QString& key, QByteArray& bytes);
    // A search that found no card because it could not run: remembered as one.
    static QByteArray nothingFound() { return "ID < 0"; }
    void rememberSearch(QList<QByteArray> conditions);

    void closeEvent(QCloseEvent* event) override;

    SearchConfig config_;
    std::unique_ptr<TSQLiteDatabase> db_;
    std::unique_ptr<TSQLiteTable> result_;
    // For each list line (in list order), the result row it was built from:
    // identical lines of different cards each lead to their own card.
    QList<quint32> rowOfLine_;
    PickTarget target_;
    ListFind find_;
    QListView* list_ = nullptr;
    QStringListModel* model_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* memory_ = nullptr;
    LastSearch lastSearch_;

signals:
    void listDoubleClicked();
};

// Search by one criterion; also the picker of the other forms.
class QuickSearchForm : public SearchFormBase {
    Q_OBJECT
public:
    struct Criterion {
        QString item;
        QByteArray column;
    };
    QuickSearchForm(SearchConfig config, QList<Criterion> criteria, QWidget* parent = nullptr);
    // The archive's quick search, named as its definition says.
    explicit QuickSearchForm(const ArchiveDefinition& definition, QWidget* parent = nullptr);
    static QList<Criterion> criteriaOf(const ArchiveDefinition& definition);
    const QList<Criterion>& criteria() const { return criteria_; }

public slots:
    void FormShow();
    void btnPopolaClick();
    void btnTrovaClick();
    void lstRecordsDblClick();
    void btnStampaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QByteArray columnOf(const QString& item) const;
    void updateSearchButton();

    QList<Criterion> criteria_;
    QComboBox* cboCriterio_ = nullptr;
    QLineEdit* txtCriterio_ = nullptr;
    QPushButton* btnPopola_ = nullptr;
    QLineEdit* txtTrova_ = nullptr;
};

// Search by several fields at once, joined by AND.
class AdvancedSearchForm : public SearchFormBase {
    Q_OBJECT
public:
    struct Field {
        QString control;
        QString caption;
        QByteArray column;
    };
    AdvancedSearchForm(
        SearchConfig config, QList<Field> fields, QString title, QStringList instructions, QWidget* parent = nullptr);
    // The archive's advanced search, named as its definition says.
    explicit AdvancedSearchForm(const ArchiveDefinition& definition, QWidget* parent = nullptr);
    static QList<Field> fieldsOf(const ArchiveDefinition& definition);

public slots:
    void FormShow();
    void cmdTrovaClick();
    void cmdIndietroClick();
    void cmdTrova02Click();
    void lstRecordsDblClick();
    void cmdStampaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showCriteria();

    QList<Field> fields_;
    QList<QLineEdit*> edits_;
    QGroupBox* grpCriteri_ = nullptr;
    QGroupBox* grpElenco_ = nullptr;
    QLineEdit* txtTrova_ = nullptr;
    QPushButton* cmdTrova_ = nullptr;
    QPushButton* cmdIndietro_ = nullptr;
    QPushButton* cmdStampa_ = nullptr;
};

// Appends x to a field's trimmed text with a separator (picked recipients).
namespace PickerText {
QString appended(const QString& fieldText, const QString& x, const QString& separator);
// A column of a chosen row, decoded and trimmed.
QString column(const TSQLiteTable& row, const QByteArray& column);
} // namespace PickerText
