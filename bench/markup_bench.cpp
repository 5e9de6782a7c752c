// Speed of CMarkup on job-ticket-like documents of about 1 MB and 10 MB: one
// SetDocument and a walk of every element (tag name and the attributes a
// ticket intake reads), beside pugixml parsing and walking the same text; and
// the reading of a ticket of 200 run lists into its sub-jobs.
#include "formats/jdf_ticket.h"
#include "formats/markup.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#ifdef HF_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

namespace hf {

namespace {

const char* const kAttributes[] = {"Run", "Pages", "DocCopies", "URL", "ID", "DescriptiveName"};

// A ticket with `runLists` run-list partitions, each with its layout
// element, FileSpec and a comment: about 330 bytes a run list.
std::string TicketText(int runLists) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<JDF xmlns=\"http://www.CIP4.org/JDFSchema_1_1\" ID='J1' DescriptiveName=\"Bench job\" Type=\"Product\">\r\n"
      " <ResourcePool>\r\n  <RunList ID=\"RL\" Class=\"Parameter\" Status=\"Available\">\r\n";
  char part[512];
  for (int i = 0; i < runLists; ++i) {
    std::snprintf(part, sizeof part,
                  "   <!-- part %d -->\r\n"
                  "   <RunList Run=\"%d\" Pages=\"0 ~ %d\" DocCopies=\"%d\" NPage=\"%d\">\r\n"
                  "    <LayoutElement ElementType=\"Document\">\r\n"
                  "     <FileSpec URL='file:///C:/jobs/in/part%06d%%20final.pdf' MimeType=\"application/pdf\"/>\r\n"
                  "    </LayoutElement>\r\n   </RunList>\r\n",
                  i, i, i % 64, 1 + i % 5, 1 + i % 64, i);
    out += part;
  }
  out += "  </RunList>\r\n </ResourcePool>\r\n</JDF>\r\n";
  return out;
}

const std::string& Ticket(int64_t megabytes) {
  static const std::string one = TicketText(3300), ten = TicketText(33000);
  return megabytes == 1 ? one : ten;
}

void BM_MarkupParseAndWalk(benchmark::State& state) {
  const std::string& text = Ticket(state.range(0));
  for (auto _ : state) {
    CMarkup markup;
    if (!markup.SetDocument(text)) state.SkipWithError("the ticket did not parse");
    size_t seen = 0;
    for (;;) {
      if (markup.FindElement()) {
        seen += markup.GetTagName().size();
        for (const char* name : kAttributes) seen += markup.GetAttribute(name).size();
        markup.EnterElement();
      } else if (!markup.LeaveElement()) {
        break;
      }
    }
    benchmark::DoNotOptimize(seen);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_MarkupParseAndWalk)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_ReadTicketOf200RunLists(benchmark::State& state) {
  const std::string text = TicketText(200);
  for (auto _ : state) {
    JdfTicket ticket;
    std::string error;
    if (!ReadJdfTicket(text, nullptr, ticket, error) || ticket.subJobs.size() != 200)
      state.SkipWithError("the ticket was not read");
    benchmark::DoNotOptimize(ticket);
  }
}
BENCHMARK(BM_ReadTicketOf200RunLists)->Unit(benchmark::kMillisecond);

#ifdef HF_HAVE_PUGIXML
size_t WalkPugi(const pugi::xml_node& node) {
  size_t seen = 0;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    seen += std::char_traits<char>::length(child.name());
    for (const char* name : kAttributes) seen += std::char_traits<char>::length(child.attribute(name).value());
    seen += WalkPugi(child);
  }
  return seen;
}

void BM_PugixmlParseAndWalk(benchmark::State& state) {
  const std::string& text = Ticket(state.range(0));
  for (auto _ : state) {
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size())) state.SkipWithError("the ticket did not parse");
    benchmark::DoNotOptimize(WalkPugi(document));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_PugixmlParseAndWalk)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

}  // namespace hf

BENCHMARK_MAIN();
