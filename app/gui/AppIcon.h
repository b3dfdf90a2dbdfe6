#pragma once
#include <QIcon>
#include <QString>

// The program's icon: a globe under a satellite orbit, drawn at every size asked.
QIcon AppIcon();

// The caption of the program's small windows and message boxes, "QERN to RINEX".
QString Caption();
