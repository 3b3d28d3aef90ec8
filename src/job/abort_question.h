#pragma once

namespace job {

class JobHost;

// When an abort was requested, asks "Do you want to abort?". True on Yes (the request
// stays); on No the request is cleared and the work goes on.
bool askWhetherToAbort(JobHost& host);

} // namespace job
