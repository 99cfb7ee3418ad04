// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "BenchDocuments.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/SOAPClient.h>
#include <SonosKit/XMLText.h>
#include <SonosKit/ZoneTopology.h>

#include <libxml/parser.h>

#include <benchmark/benchmark.h>

using namespace SonosKit;

namespace {

// The floor: libxml2 alone on bytes already in UTF-8, with the options
// XMLText uses for its strict parse.
void bareParse(benchmark::State &state, const QByteArray &utf8)
{
    for (auto _ : state) {
        xmlDocPtr document = xmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8", XML_PARSE_NONET);
        benchmark::DoNotOptimize(document);
        xmlFreeDoc(document);
    }
    state.SetBytesProcessed(state.iterations() * utf8.size());
}

void BM_Document100KB(benchmark::State &state)
{
    const QString text = benchdocs::documentOfSize(100 * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(XMLText::document(text));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
void BM_Document100KB_BareLibxml2(benchmark::State &state)
{
    bareParse(state, benchdocs::documentOfSize(100 * 1024).toUtf8());
}

void BM_Envelope6Arguments(benchmark::State &state)
{
    const SOAPClient::Arguments arguments{
        {QStringLiteral("InstanceID"), QStringLiteral("0")},
        {QStringLiteral("EnqueuedURI"), QStringLiteral("x-rincon-cpcontainer:1006206cplaylist%3apl.1?sid=204&flags=8300&sn=1")},
        {QStringLiteral("EnqueuedURIMetaData"), benchdocs::didlPage(1)},
        {QStringLiteral("DesiredFirstTrackNumberEnqueued"), QStringLiteral("0")},
        {QStringLiteral("EnqueueAsNext"), QStringLiteral("0")},
        {QStringLiteral("Note"), QStringLiteral("Küche & <Bad> \"quoted\" 'single'")},
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(
            SOAPClient::envelope(SOAPClient::Service::avTransport, QStringLiteral("AddURIToQueue"), arguments));
}

void BM_ParseGroups32Players(benchmark::State &state)
{
    const QString text = benchdocs::topology(32);
    for (auto _ : state)
        benchmark::DoNotOptimize(ZoneTopology::parseGroups(text));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
void BM_ParseGroups32Players_BareLibxml2(benchmark::State &state)
{
    bareParse(state, benchdocs::topology(32).toUtf8());
}

void BM_ParseDIDL(benchmark::State &state)
{
    const QString text = benchdocs::didlPage(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ContentDirectory::parseDIDL(text));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
void BM_ParseDIDL_BareLibxml2(benchmark::State &state)
{
    bareParse(state, benchdocs::didlPage(int(state.range(0))).toUtf8());
}

} // namespace

BENCHMARK(BM_Document100KB);
BENCHMARK(BM_Document100KB_BareLibxml2);
BENCHMARK(BM_Envelope6Arguments);
BENCHMARK(BM_ParseGroups32Players);
BENCHMARK(BM_ParseGroups32Players_BareLibxml2);
BENCHMARK(BM_ParseDIDL)->Arg(100)->Arg(1000);
BENCHMARK(BM_ParseDIDL_BareLibxml2)->Arg(100)->Arg(1000);
