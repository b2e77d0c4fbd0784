#pragma once
// Where the program's own files (the user guide) are: beside the program in the build
// tree, or below <prefix>/share/veltro-sitemap when it is installed in <prefix>/bin.
#include <QString>

// The first of those places that holds the file; when none does, the path beside the
// program, so that a message can still name where it was looked for.
QString ResourceFilePath(const QString& name);
QString ResourceFilePathFrom(const QString& programDir, const QString& name);
