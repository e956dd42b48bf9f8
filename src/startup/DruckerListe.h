#pragma once

namespace tarvel::startup {

/// "tarvel drucker [WARTESCHLANGE]": each CUPS queue (or the one named) with its
/// media, printable area, resolution and which label layouts fit it.
class DruckerListe
{
public:
    /// Runs the command; argv[1] is "drucker". Returns the exit code: 0 listed,
    /// 1 the queue is unknown or CUPS knows none, 2 wrong use.
    static int main(int argc, char **argv);
};

} // namespace tarvel::startup
