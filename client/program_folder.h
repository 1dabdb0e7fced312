#pragma once

#include <QString>

// The folder that stands for the program's own folder (settings, tally, tile sets, downloads):
// the folder named by VREL_HOME when it is set, else the executable's folder.
QString programFolder();
