// Projects: directories directly inside the program directory. Only names
// that stay inside it are accepted, so a typed name can never create or
// open a directory anywhere else.
#pragma once

#include <string>

#include <QString>

// The program directory as text, ending in '/'.
QString ProgramDir();

// Text path to the bytes the file system and the lower layers take.
std::string PathBytes(const QString &path);

// Empty when name can be a project directory's name, else the message that
// says why not: an empty name, path separators and the other characters no
// file name may hold on Windows or POSIX, control characters, "." and "..",
// a trailing blank or dot, device names Windows reserves, characters the
// register's code page cannot hold.
QString ProjectNameProblem(const QString &name);

// The checks of the new-project dialog, in order: the name itself, an
// existing project of that name, then creating programDir + name. Empty on
// success (the directory then exists), else the message to show.
QString CreateProjectDirectory(const QString &programDir, const QString &name);

// The project a folder chosen in the browser stands for: its last path
// component, as a name inside the program directory. Empty when the path
// has no usable last component (the file-system root, ".", "..").
QString ProjectNameFromFolder(const QString &chosenPath);
