// The object that the test programs' shared precompiled header is built
// with (tests/CMakeLists.txt); it holds nothing itself.
