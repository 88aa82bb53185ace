#include "lumivex.h"

int main(int argc, char** argv) {
    app::Lumivex lumivex(argc, argv);
    return lumivex.run();
}
