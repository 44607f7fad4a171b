#include "ui/editor_chrome.h"

#include "ui/form_look.h"
#include "ui/list_memo.h"

#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ButtonDef {
    const char* name;
    const char* glyph;
    const char* text;
    const char* hint;
};

QToolButton* makeButton(QWidget* parent, const ButtonDef& def, HintBar* hints)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(def.name));
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    EditorChrome::dress(b, QLatin1String(def.glyph), QString::fromUtf8(def.text));
    hints->add(b, QString::fromUtf8(def.hint));
    return b;
}

QGroupBox* box(QWidget* parent, const char* name, HintBar* hints)
{
    auto* g = new QGroupBox(parent);
    g->setObjectName(QLatin1String(name));
    hints->clearOn(g);
    auto* l = new QHBoxLayout(g);
    l->setContentsMargins(4, 2, 4, 2);
    l->setSpacing(2);
    return g;
}

} // namespace

const QList<const char*>& EditorChrome::accessoryButtons()
{
    static const QList<const char*> names = { "cmdWord", "cmdExcel", "cmdAllega", "cmdAssocia", "cmdOttimizza" };
    return names;
}

void EditorChrome::dress(QWidget* button, const QString& glyph, const QString& fallbackText)
{
    auto* b = qobject_cast<QToolButton*>(button);
    if (!b)
        return;
    const QString path = QStringLiteral(":/img/") + glyph + QStringLiteral(".png");
    if (QFile::exists(path)) {
        b->setIcon(QIcon(path));
        b->setIconSize(QSize(32, 32));
        b->setText(fallbackText);
    } else {
        b->setText(fallbackText);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    b->setToolTip(QString());
}

QToolButton* EditorChrome::imageButton(QWidget* parent, const char* name, const char* glyph, const char* text)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    dress(b, QLatin1String(glyph), QString::fromUtf8(text));
    return b;
}

QFrame* EditorChrome::whitePanel(QWidget* parent, const char* name, HintBar* hints)
{
    auto* p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameShape(QFrame::StyledPanel);
    p->setAutoFillBackground(true);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, Qt::white);
    p->setPalette(pal);
    if (hints)
        hints->clearOn(p);
    return p;
}

QLineEdit* EditorChrome::lineEdit(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

namespace {
QPlainTextEdit* setUpMemo(QPlainTextEdit* m, const char* name, int fixedHeight)
{
    m->setObjectName(QLatin1String(name));
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setTabChangesFocus(true);
    if (fixedHeight > 0)
        m->setFixedHeight(fixedHeight);
    return m;
}
} // namespace

QPlainTextEdit* EditorChrome::memo(QWidget* parent, const char* name, int fixedHeight)
{
    return setUpMemo(new QPlainTextEdit(parent), name, fixedHeight);
}

QPlainTextEdit* EditorChrome::listMemo(QWidget* parent, const char* name, const QString& separator, int fixedHeight)
{
    return setUpMemo(new ListMemo(parent, separator), name, fixedHeight);
}

QLabel* EditorChrome::infoBar(QWidget* parent)
{
    auto* info = new QLabel(parent);
    info->setObjectName(QStringLiteral("panInfo"));
    info->setAutoFillBackground(true);
    QPalette pal = info->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128));
    pal.setColor(QPalette::WindowText, Qt::white);
    info->setPalette(pal);
    info->setFixedHeight(22);
    return info;
}

EditorChrome::Parts EditorChrome::build(QWidget* form, int width, int height)
{
    Parts p;
    p.container = new QGroupBox(form);
    p.container->setObjectName(QStringLiteral("grpContainer"));
    p.container->setFixedSize(width, height);
    p.container->setAutoFillBackground(true);

    auto* outer = new QVBoxLayout(p.container);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(4);

    p.info = infoBar(p.container);
    p.hints = new HintBar(p.info);
    p.hints->clearOn(form);
    p.hints->clearOn(p.container);

    auto* toolbar = new QHBoxLayout;
    toolbar->setSpacing(4);
    outer->addLayout(toolbar);

    static const ButtonDef controls[] = {
        { "cmdNuovo", "nuovo", "Nuovo", " Prepara la schermata ad accogliere una nuova scheda." },
        { "cmdSalva", "salva", "Salva",
            " Salva in archivio i dati relativi alla scheda corrente oppure aggiorna la scheda esistente." },
        { "cmdTrova", "trova", "Trova", " Trova una scheda in archivio." },
        { "cmdWeb", "avanzate", "Avanzate",
            " Effettua una ricerca avanzata in archivio utilizzando più campi contemporaneamente." },
        { "cmdWord", "word", "Word", " Esporta la scheda corrente in un file di Microsoft Word." },
        { "cmdExcel", "excel", "Excel", " Esporta l'archivio corrente in un foglio di Microsoft Excel." },
        { "cmdAllega", "allega", "Allega", " Allega file alla scheda corrente." },
        { "cmdAssocia", "cartella", "Cartella", " Associa una cartella alla scheda corrente." },
    };
    QGroupBox* grpControlli = box(p.container, "grpControlli", p.hints);
    for (const auto& def : controls)
        grpControlli->layout()->addWidget(makeButton(grpControlli, def, p.hints));
    toolbar->addWidget(grpControlli);

    QGroupBox* grpOttimizza = box(p.container, "grpOttimizza", p.hints);
    grpOttimizza->layout()->addWidget(makeButton(grpOttimizza,
        { "cmdOttimizza", "ottimizza", "Ottimizza",
            " Ottimizza le dimensioni dell'archivio eliminando lo spazio inutilizzato." },
        p.hints));
    toolbar->addWidget(grpOttimizza);

    QGroupBox* grpFrecce = box(p.container, "grpFrecce", p.hints);
    auto* frecce = grpFrecce->layout();
    frecce->addWidget(
        makeButton(grpFrecce, { "imgPrimo", "primo", "|<", " Visualizza la prima scheda in archivio." }, p.hints));
    frecce->addWidget(makeButton(
        grpFrecce, { "imgIndietro", "indietro", "<", " Visualizza la scheda precedente in archivio." }, p.hints));
    p.position = new QLabel(grpFrecce);
    p.position->setObjectName(QStringLiteral("lblPosizione"));
    p.position->setAlignment(Qt::AlignCenter);
    p.position->setMinimumWidth(56);
    QFont bold = p.position->font();
    bold.setBold(true);
    p.position->setFont(bold);
    frecce->addWidget(p.position);
    frecce->addWidget(makeButton(
        grpFrecce, { "imgAvanti", "avanti", ">", " Visualizza la scheda successiva in archivio." }, p.hints));
    frecce->addWidget(
        makeButton(grpFrecce, { "imgUltimo", "ultimo", ">|", " Visualizza l'ultima scheda in archivio" }, p.hints));
    toolbar->addWidget(grpFrecce);
    toolbar->addStretch(1);

    QGroupBox* grpGuida = box(p.container, "grpGuida", p.hints);
    grpGuida->layout()->addWidget(
        makeButton(grpGuida, { "cmdGuida", "guida", "Guida", " Visualizza la guida in linea." }, p.hints));
    toolbar->addWidget(grpGuida);
    QGroupBox* grpElimina = box(p.container, "grpElimina", p.hints);
    grpElimina->layout()->addWidget(makeButton(
        grpElimina, { "cmdElimina", "elimina", "Elimina", " Elimina dall'archivio la scheda corrente." }, p.hints));
    toolbar->addWidget(grpElimina);
    QGroupBox* grpEsci = box(p.container, "grpEsci", p.hints);
    grpEsci->layout()->addWidget(
        makeButton(grpEsci, { "cmdEsci", "esci", "Esci", " Esce dalla schermata di lavoro corrente." }, p.hints));
    toolbar->addWidget(grpEsci);

    p.body = new QVBoxLayout;
    p.body->setSpacing(4);
    outer->addLayout(p.body, 1);
    outer->addWidget(p.info);

    FormLook::centreOnResize(form, p.container);
    return p;
}
