// Where an installed program finds its data files.
//
// Installed, the programs live in <prefix>/bin and their data files
// (fontpre.tga, demosong.it) in <prefix>/share/boxdemo, or wherever the
// build's install folders say. The build passes the relative path from the
// one folder to the other, so an installation under any prefix, even moved
// after installing, finds its files. A program run from the build folder has
// no such folder beside it and reads its files from the working directory.
#pragma once

#include <string>

namespace demo {

// The data folder belonging to the program file at executable: the folder
// at the installed relative path from the program's folder, normalised, when
// it exists; "" when it does not.
std::string dataFolderOf(const std::string& executable);

// The data folder of the running program (found through /proc/self/exe);
// "" when the program is not installed.
std::string installedDataFolder();

// Makes the installed data folder the working directory, so that the show
// reads its files from there by their plain names. Does nothing for a
// program that is not installed.
void enterInstalledDataFolder();

// Where a program looks for its data files, for a message about a missing
// one: "in the data folder /usr/share/boxdemo", or "looked in the working
// folder /home/ann; the data folder /usr/share/boxdemo does not exist" (a
// working folder that was deleted is named too: "/home/ann/gone, which was
// deleted").
std::string dataFilesWhere();

// problem, why a data file the program reads by default cannot be read,
// with where it was looked for when it is missing: "No such file or
// directory (in the data folder /usr/share/boxdemo)".
std::string dataFileProblem(const std::string& problem);

// The data file name as a program that stays in its working directory (the
// capture) reads it by default: in the installed data folder, else in the
// working directory.
std::string defaultDataFile(const char* name);

}  // namespace demo
