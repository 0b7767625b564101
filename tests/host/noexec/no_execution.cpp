// A host module that lacks the Execution entry: start-up must fail cleanly.
extern "C" __attribute__((visibility("default"))) int standin_noexec_marker()
{
    return 1;
}
