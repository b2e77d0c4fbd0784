#pragma once

// Process-wide libcurl set-up; every session lies between the two calls.
void HttpGlobalInit();
void HttpGlobalCleanup();
