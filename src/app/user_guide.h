#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Where the user guide is looked for, best first, for a program whose binary
// is in `program_dir`: the copy installed with it (<prefix>/share/doc/
// tavero-companion/ beside <prefix>/bin/), the copy that a build folder holds
// (build/docs/ beside build/src/), then the package's, for a program run from
// elsewhere. Each as HTML, then as the Markdown it is written in, where the
// build had no tool to turn it into HTML.
QStringList user_guide_candidates(const QString &program_dir);

// The first candidate that is a readable file, or an empty string.
QString find_user_guide(const QString &program_dir);

// Opens the user guide in the desktop's viewer; where there is none, or the
// desktop cannot open it, a box under `parent` says so and where it would be.
void open_user_guide(QWidget *parent, const QString &program_dir);
