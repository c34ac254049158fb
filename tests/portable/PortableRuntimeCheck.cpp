// Linked the way the program on the disc is linked: the wrapped C library calls must
// do the same work as the ones they stand in for. Exits 0 when they do.

#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

namespace
{
int failures = 0;

void check (bool ok, const char* what)
{
    std::printf ("%s: %s\n", ok ? "ok" : "FAILED", what);
    failures += ok ? 0 : 1;
}

// Several frames deep, so the unwinder has real work to do finding each one's tables.
[[gnu::noinline]] void throwFrom (int depth)
{
    if (depth == 0)
        throw std::runtime_error ("from the bottom");
    std::string keepsAFrame (static_cast<size_t> (depth), 'x');
    throwFrom (depth - 1);
    std::puts (keepsAFrame.c_str());
}
} // namespace

int main (int argc, char**)
{
    // Opaque to the compiler, so the calls are made at run time.
    const double three = 2.0 + argc, four = 3.0 + argc;
    check (std::hypot (three, four) == 5.0, "hypot");
    check (std::hypot (static_cast<float> (three), static_cast<float> (four)) == 5.0f, "hypotf");

    std::random_device device;
    std::set<unsigned> values;
    for (int i = 0; i < 16; ++i)
        values.insert (device());
    check (values.size() > 8, "random_device draws different numbers");

    bool caught = false;
    try
    {
        throwFrom (12);
    }
    catch (const std::runtime_error& e)
    {
        caught = std::string (e.what()) == "from the bottom";
    }
    check (caught, "an exception unwinds through twelve frames and is caught");

    return failures == 0 ? 0 : 1;
}
