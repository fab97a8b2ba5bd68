// One blocking HTTP GET for the tide service, with its failure messages.
#pragma once

#include "platform/http_client.h"

#include <string>

// GET `url` (redirects followed, 15 s in all, at most 32 MiB of body).
// Transport errors log "Erreur curl : ..."; a status of 400 or more logs the
// status, the URL (its key masked) and the start of the body. Returns false then.
bool fetchUrl(const std::string& url, std::string& body);

// `url` with the value of its "key" query parameter replaced by "***", so
// logs never carry the service key.
std::string maskKeyInUrl(const std::string& url);
