#pragma once

#include <QString>

// The folder that stands for the program's own folder (settings, tally, tile sets, downloads):
// the folder named by VREL_HOME when it is set, else the executable's folder.
QString programFolder();

// Where the files a player keeps are written: the program's folder when it can be written,
// else the user's own data folder for the game (an installed copy), made when missing.
QString keptFilesFolder();
