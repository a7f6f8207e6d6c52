#pragma once

#include <QString>
#include <QStringList>

// The program's command line when it starts a window: the first argument only (an address,
// a file or a page group), "--screenshot PNG" before it for a picture, "--private" before it
// for a private window, "--help", and "--" before an argument that itself begins with "--". Any other argument that begins with
// "--" is a mistake (a misspelt option), never an address to open.
struct StartArguments
{
    enum class Kind
    {
        Start,   // start (or hand the argument to the running copy)
        Help,    // print the usage and end
        Refused, // print `problem` and the usage on standard error, and end with 2
    };

    Kind kind = Kind::Start;
    QString argument; // as given; empty when there is none
    QString screenshotFile;
    // A private window: a copy of its own that keeps nothing of what is done in it.
    bool privateWindow = false;
    QString problem;

    // `arguments` as the program was given them, the program's name first.
    static StartArguments parse(const QStringList& arguments);
    // The short usage text, every form of the command line.
    static QString usage();
};
