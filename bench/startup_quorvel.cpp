// The real Quorvel program, ending itself after its first paint (see FirstPaint.h).
#include "FirstPaint.h"
#include "app/QuorvelProgram.h"

int main(int argc, char* argv[]) {
    return app::RunQuorvel(argc, argv, [](QWidget& window) { new FirstPaint(window); });
}
