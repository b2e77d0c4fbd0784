#include "support/SitemapSchema.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <memory>
#include <mutex>

namespace {

struct SchemaDeleter {
  void operator()(xmlSchema* schema) const { xmlSchemaFree(schema); }
};
struct ParserContextDeleter {
  void operator()(xmlSchemaParserCtxt* context) const { xmlSchemaFreeParserCtxt(context); }
};
struct ValidContextDeleter {
  void operator()(xmlSchemaValidCtxt* context) const { xmlSchemaFreeValidCtxt(context); }
};
struct DocDeleter {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

void Collect(void* data, xmlError* error) {
  if (!error || !error->message) return;
  auto* out = static_cast<std::string*>(data);
  *out += "line " + std::to_string(error->line) + ": " + error->message;
  if (out->empty() || out->back() != '\n') *out += '\n';
}

// Parsed once per test process; a parsed schema may be shared by validation contexts.
xmlSchema* Schema(std::string& problem) {
  static std::once_flag once;
  static std::unique_ptr<xmlSchema, SchemaDeleter> schema;
  static std::string parseProblem;
  std::call_once(once, [] {
    std::unique_ptr<xmlSchemaParserCtxt, ParserContextDeleter> context(
        xmlSchemaNewParserCtxt(VELTRO_SCHEMA_DIR "/sitemap-extended.xsd"));
    if (!context) return;
    xmlSchemaSetParserStructuredErrors(context.get(), Collect, &parseProblem);
    schema.reset(xmlSchemaParse(context.get()));
  });
  if (!schema) problem = "the schema does not parse: " + parseProblem;
  return schema.get();
}

}  // namespace

std::string SitemapSchemaProblems(const std::string& text) {
  std::string problems;
  xmlSchema* schema = Schema(problems);
  if (!schema) return problems;
  std::unique_ptr<xmlDoc, DocDeleter> doc(
      xmlReadMemory(text.data(), static_cast<int>(text.size()), "sitemap.xml", nullptr, XML_PARSE_NONET));
  if (!doc) return "not well-formed XML";
  std::unique_ptr<xmlSchemaValidCtxt, ValidContextDeleter> context(xmlSchemaNewValidCtxt(schema));
  if (!context) return "no validation context";
  xmlSchemaSetValidStructuredErrors(context.get(), Collect, &problems);
  const int result = xmlSchemaValidateDoc(context.get(), doc.get());
  if (result != 0 && problems.empty()) problems = "invalid (libxml2 code " + std::to_string(result) + ")";
  return problems;
}
