// Preloaded into the print helper: freeing the server's success answer that
// names a job (the answer to the job's creation, or to its page) takes a
// second, so that a test can end the window between the moment the server
// confirmed the page and the helper's verdict.
#include <cups/ipp.h>
#include <dlfcn.h>
#include <unistd.h>

extern "C" void ippDelete(ipp_t *message)
{
    using Delete = void (*)(ipp_t *);
    static const auto free = reinterpret_cast<Delete>(dlsym(RTLD_NEXT, "ippDelete"));
    // A request's status field is its operation (never 0, success).
    if (message && ippGetStatusCode(message) == IPP_STATUS_OK
        && ippFindAttribute(message, "job-id", IPP_TAG_INTEGER))
        sleep(1);
    free(message);
}
