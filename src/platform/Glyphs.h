#pragma once

#include <QIcon>

namespace ostrel {

// Simple drawn glyphs for the buttons, so the program needs no image files.
enum class Glyph {
    First, Prior, Next, Last, Delete, Edit, Post, Cancel,
    Reset, Export, Search, Print, Legend, Exit, Pencil, Save, Network, Connect, Close, Database, TextFile
};

QIcon glyphIcon(Glyph glyph, int size = 32);

} // namespace ostrel
