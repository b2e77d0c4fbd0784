#pragma once
#include <nlohmann/json.hpp>

#include <string>

// Which requests of a rendering page may reach the network.

// Kinds of request (the DevTools resourceType) that cannot bring a link into the document:
// they are failed in the browser, whatever their site.
bool IsHeavyResourceType(const std::string& resourceType);

// Whether a request is the browser's own icon fetch or a prefetch, known by its headers only
// (they come as "Other" and "Fetch"): an Accept that asks for an image first, or a
// Sec-Purpose / Purpose field.
bool IsIconOrPrefetch(const nlohmann::json& requestHeaders);

// scheme://host[:port] of an absolute address, in lower case; empty when it has none.
std::string AddressOrigin(const std::string& address);

// The response header fields for Fetch.fulfillRequest from a header block as our fetch
// received it (the last block when there are several): the fields that describe the
// transfer rather than the body we hand over are left out; text/html when it has no type.
nlohmann::json FulfillHeaders(const std::string& headerBlock);
