// Does on purpose what the sanitizer build must catch, so that a test can
// prove the suite really runs under it: "leak" loses one block, "race"
// writes one integer from two threads without a lock.
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

void* volatile lost = nullptr;
int shared = 0;

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "leak") == 0) {
    lost = std::malloc(64);
    lost = nullptr;
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "race") == 0) {
    std::thread other([] { ++shared; });
    ++shared;
    other.join();
    return 0;
  }
  return 2;
}
