#include "app/QuorvelProgram.h"

int main(int argc, char* argv[]) {
    return app::RunQuorvel(argc, argv);
}
