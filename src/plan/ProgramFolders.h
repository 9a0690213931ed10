#pragma once
#include <QString>

// Where the program finds its read-only files and where it writes its own.
//
// A program run from its build folder (or any folder it may write to) keeps
// everything in that folder. An installed program cannot write beside itself:
// it finds its read-only files (help pages, hints document, check-mark
// picture) in the install's share folder, and writes the files it keeps (the
// configuration file, the start-up plan's files, the settings copy of a save)
// in the per-user data folder.
namespace ProgramFolders {

// $XDG_DATA_HOME/kavo-pursekeep, or ~/.local/share/kavo-pursekeep when the
// variable is unset or not an absolute path. Not created here.
QString userDataFolder();

// The folder of the read-only files for a program in `executableFolder`: that
// folder when it holds them (a "help" folder), otherwise ../share/kavo-pursekeep
// beside it when that exists, otherwise the executable's folder all the same.
QString resourceFolder(const QString &executableFolder);

// The folder the program writes its own files to: `executableFolder` when it
// holds the read-only files itself (a build folder) and may be written;
// otherwise (an installed program, a read-only folder) userDataFolder(),
// made when missing.
QString writableFolder(const QString &executableFolder);

// The file of the recently opened and saved plans, in userDataFolder().
QString recentPlansFile();

// The backups of every plan's saves (PlanBackups), and the recovery copies of
// plans with unsaved changes (RecoveryCopy), in userDataFolder().
QString backupsFolder();
QString recoveryFolder();

} // namespace ProgramFolders
