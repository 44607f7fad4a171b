#pragma once

#include <QList>

class QWidget;

// Program start and end: every form is created once, in a fixed order, and
// kept until the program ends.
namespace Startup {
// Loads Qt's own Italian texts (standard buttons, context menus) when the
// system has them.
void installTranslations();
// Creates the forms in their order, sets the global handles, wires the
// launcher's tiles and the editors' way back to the launcher.
void createForms();
// The forms createForms() made, in creation order.
QList<QWidget*> forms();
// Shows the first form: the login, which opens the launcher.
void showFirstForm();
// Destroys the forms, last created first, and clears the global handles.
void destroyForms();
} // namespace Startup
