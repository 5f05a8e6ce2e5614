// The till of a client station: `kassio --station ADDRESS`.
#pragma once

#include <QApplication>

#include "ui/qt_ui.h"

namespace kassio {

bool wantsClientStation(int argc, char** argv);
int runClientStation(QApplication& app, QtUi& ui, int argc, char** argv);

}  // namespace kassio
