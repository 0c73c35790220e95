#pragma once
// The studio's command line:
//
//   studio [--lang zh|en] [SCRIPT]
//   studio --version
//
// Nothing here needs Windows: the front end splits the line into arguments.

#include <string>
#include <vector>

struct StudioArguments {
    std::u16string language; // as given after --lang; empty when not given
    std::u16string script;   // the last argument that is no option
    bool version = false;
    std::u16string error; // the last argument that is wrong, as the user wrote it
};

// The arguments after the program's name.
StudioArguments parseStudioArguments(const std::vector<std::u16string>& arguments);
