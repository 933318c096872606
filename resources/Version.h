// The version numbers of every shipped file, in this one place: the version blocks of the
// programs and of the package's action library (version.rc), and the About dialog's text.
// windres reads this file too, so it holds nothing but defines.
#ifndef ZENTHAR_RESOURCES_VERSION_H
#define ZENTHAR_RESOURCES_VERSION_H

#define ZENTHAR_VERSION_MAJOR 4
#define ZENTHAR_VERSION_MINOR 52
// Raised for every build given out, so that two builds of 4.52 can be told apart in a file's
// details (FileVersion); the program's own version stays 4.52.
#define ZENTHAR_VERSION_BUILD 1

#define ZENTHAR_TEXT_OF(x) #x
#define ZENTHAR_TEXT(x) ZENTHAR_TEXT_OF(x)
// "4.52": what the About dialog says and the ProductVersion of every file.
#define ZENTHAR_VERSION_TEXT ZENTHAR_TEXT(ZENTHAR_VERSION_MAJOR.ZENTHAR_VERSION_MINOR)
// "4.52.1": the FileVersion.
#define ZENTHAR_FILE_VERSION_TEXT ZENTHAR_TEXT(ZENTHAR_VERSION_MAJOR.ZENTHAR_VERSION_MINOR.ZENTHAR_VERSION_BUILD)

#endif
