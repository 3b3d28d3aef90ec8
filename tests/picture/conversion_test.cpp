int runConversionTests(int, char**) {
    return 0;
}
