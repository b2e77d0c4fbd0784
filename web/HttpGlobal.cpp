#include "web/HttpGlobal.h"

#include <curl/curl.h>

void HttpGlobalInit() { curl_global_init(CURL_GLOBAL_ALL); }

void HttpGlobalCleanup() { curl_global_cleanup(); }
