#include "PaymentPage.h"

#include <velquor/platform/HTMLEscaping.h>

#include <algorithm>

namespace velquor::sandbox {

namespace {

using nlohmann::ordered_json;

constexpr std::string_view kPageStart = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Velquor sandbox payment</title>
<style>
body{margin:0;padding:0 .75rem;font-family:system-ui,sans-serif;background:#f2f4f7;color:#1c1e21}
main{max-width:28rem;margin:1.5rem auto;padding:1.5rem;background:#fff;border-radius:12px;box-shadow:0 1px 4px rgba(0,0,0,.15)}
h1{font-size:1rem;margin:0;color:#606770;font-weight:500}
.amount{font-size:2rem;font-weight:600;margin:.5rem 0 1rem;overflow-wrap:anywhere}
dl{display:grid;grid-template-columns:auto 1fr;gap:.4rem 1rem;margin:0 0 1.5rem}
dt{color:#606770}
dd{margin:0;overflow-wrap:anywhere;white-space:pre-wrap}
.missing{background:#fdecea;color:#b3261e;padding:.5rem 1rem;border-radius:8px;margin-bottom:1.5rem}
.missing ul{columns:2;margin:0 0 .5rem}
.buttons{display:flex;gap:1rem}
button{flex:1;font-size:1rem;padding:.75rem;border-radius:8px;border:1px solid #0a66c2;cursor:pointer}
#pay{background:#0a66c2;color:#fff}
#decline{background:#fff;color:#0a66c2}
#result{margin:1rem 0 0;color:#606770;overflow-wrap:anywhere}
</style>
</head>
<body>
<main>
<h1>Velquor sandbox gateway</h1>
)";

constexpr std::string_view kPageScriptStart = R"(<div class="buttons"><button type="button" id="pay">Pay</button><button type="button" id="decline">Decline</button></div>
<p id="result" role="status"></p>
</main>
<script>
"use strict";
const velquorResults = )";

constexpr std::string_view kPageScriptEnd = R"(;
function postResult(choice) {
  const result = velquorResults[choice];
  const handlers = window.webkit && window.webkit.messageHandlers;
  const channel = handlers && handlers.paymentResponseIos;
  const note = document.getElementById("result");
  if (channel) {
    channel.postMessage(result);
    note.textContent = "Result posted: " + result.status;
  } else {
    note.textContent = "No paymentResponseIos message handler here; the result would be " + JSON.stringify(result);
  }
}
document.getElementById("pay").addEventListener("click", function () { postResult("pay"); });
document.getElementById("decline").addEventListener("click", function () { postResult("decline"); });
)";

constexpr std::string_view kPageEnd = "</script>\n</body>\n</html>\n";

std::string valueOrEmpty(const FormFields& fields, std::string_view name) {
  const std::string* value = lastValue(fields, name);
  return value ? *value : std::string();
}

ordered_json resultMessage(std::string_view status, const FormFields& fields, std::string_view transactionId,
                           const std::vector<std::string>& missing) {
  ordered_json message = ordered_json::object();
  message["status"] = status;
  message["order_id"] = valueOrEmpty(fields, "order_id");
  message["amount"] = valueOrEmpty(fields, "amount");
  message["currency"] = valueOrEmpty(fields, "currency");
  message["transaction_id"] = transactionId;
  ordered_json echoed = ordered_json::object();
  for (const auto& [name, value] : fields) echoed[name] = value;  // a repeated name keeps its last value
  message["fields"] = std::move(echoed);
  if (!missing.empty()) message["missing"] = missing;
  return message;
}

void appendText(std::string& page, std::string_view text) { platform::appendEscapedHTMLAttribute(page, text); }

void appendOrderEntry(std::string& page, std::string_view label, std::string_view id, std::string_view value) {
  page.append("<dt>").append(label).append("</dt><dd id=\"").append(id).append("\">");
  appendText(page, value);
  page.append("</dd>\n");
}

void appendMissing(std::string& page, const std::vector<std::string>& missing) {
  if (missing.empty()) return;
  page.append("<div class=\"missing\" id=\"missing\"><p>Missing required fields; this payment fails:</p><ul>\n");
  for (const auto& name : missing) {
    page.append("<li>");
    appendText(page, name);
    page.append("</li>\n");
  }
  page.append("</ul></div>\n");
}

}  // namespace

std::vector<std::string> missingRequiredFields(const FormFields& fields) {
  std::vector<std::string> missing;
  for (const auto name : kRequiredPaymentFields) {
    if (lastValue(fields, name) == nullptr) missing.emplace_back(name);
  }
  return missing;
}

PaymentResults paymentResults(const FormFields& fields, std::string_view transactionId) {
  const auto missing = missingRequiredFields(fields);
  return {resultMessage(missing.empty() ? kStatusSuccess : kStatusFailure, fields, transactionId, missing),
          resultMessage(kStatusFailure, fields, transactionId, missing)};
}

std::string scriptSafeJSON(const ordered_json& value) {
  const std::string json = value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
  std::string out;
  out.reserve(json.size() + json.size() / 8);
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (c == '<') {
      out += "\\u003c";
    } else if (c == '>') {
      out += "\\u003e";
    } else if (c == '&') {
      out += "\\u0026";
    } else if (c == '\xE2' && i + 2 < json.size() && json[i + 1] == '\x80' && (json[i + 2] == '\xA8' || json[i + 2] == '\xA9')) {
      // Line and paragraph separators end a line in older script engines.
      out += json[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string paymentPage(const FormFields& fields, std::string_view transactionId, AutoResult autoResult) {
  const auto missing = missingRequiredFields(fields);
  const auto results = paymentResults(fields, transactionId);
  ordered_json embedded = {{"pay", results.pay}, {"decline", results.decline}};

  std::string page(kPageStart);
  page.append("<div class=\"amount\" id=\"amount\">");
  appendText(page, valueOrEmpty(fields, "amount"));
  page.push_back(' ');
  appendText(page, valueOrEmpty(fields, "currency"));
  page.append("</div>\n<dl>\n");
  appendOrderEntry(page, "Order", "order_id", valueOrEmpty(fields, "order_id"));
  appendOrderEntry(page, "Name", "name", valueOrEmpty(fields, "name"));
  appendOrderEntry(page, "Description", "description", valueOrEmpty(fields, "description"));
  page.append("</dl>\n");
  appendMissing(page, missing);
  page.append(kPageScriptStart);
  page.append(scriptSafeJSON(embedded));
  page.append(kPageScriptEnd);
  if (autoResult != AutoResult::none) {
    page.append("window.addEventListener(\"load\", function () { postResult(\"")
        .append(autoResult == AutoResult::success ? "pay" : "decline")
        .append("\"); });\n");
  }
  page.append(kPageEnd);
  return page;
}

}  // namespace velquor::sandbox
