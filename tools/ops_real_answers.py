"""Answers of the real OPS 3.2 service as the fixture server's OPS imitation serves them.

The recorded bodies lie in DATA/ops/realops (their README says what each holds). From them:
    EP2400812A1      a publication of the catalogue: its biblio is the recorded file byte for
                     byte; its images inquiry is built from the recorded summary in OPS's
                     layout (Drawing 3 pages, FullDocument 18, FirstPageClipping 1, with their
                     links and formats); every page of it is the recorded page (CCITT G4,
                     2592 x 3508 pixels at pixels per centimetre: an A4 page).
    the real series  the three results of the recorded search/biblio answer (an Australian
                     A1 twice, a Danish T3 titled only in its original language, lang="ol"),
                     repeated and renumbered as publications of the catalogue: EP3900001 to
                     EP3900150 (A1), and US9500001 to US9500150 (B2) alternating with
                     US2024100001 to US2024100150 (A1). Each result keeps its real block of
                     about 18 KB (applicants "SIEMENS ...", so that txt=siemens or pa=siemens
                     finds the whole series), only its publication numbers and family changed;
                     a page of 100 of them is about 1.8 MB, as OPS sends it. Their biblio is
                     the block in the layout of the recorded biblio, their pages the recorded
                     page.

RealAnswers.search_page builds a search/biblio answer in the layout of the recorded one
(declaration, style sheet, total-result-count then publications-count, query, range, one
exchange-documents block per result) from any list of blocks; real_search_page builds a page
of the real series alone, for a benchmark that wants real-size pages without the server.
Python 3 standard library only.
"""

import os
import re
import xml.etree.ElementTree as ET

NS = "{http://www.epo.org/exchange}"
EXCHANGE_NAMESPACES = ('xmlns="http://www.epo.org/exchange" xmlns:ops="http://ops.epo.org" '
                       'xmlns:xlink="http://www.w3.org/1999/xlink"')

BIBLIO_FILE = "EP2400812A1-biblio.xml"
SUMMARY_FILE = "EP2400812A1-images-summary.txt"
PAGE_FILE = "EP2400812A1-page1.tif"
SEARCH_FILE = "search-biblio-pa-siemens.xml"

SERIES_COUNT = 150   # results of each country


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def fields_of(block):
    """The catalogue fields of one exchange-document block (text), for the CQL matcher."""
    root = ET.fromstring("<root %s>%s</root>" % (EXCHANGE_NAMESPACES, block))
    doc = root.find(".//" + NS + "exchange-document")
    biblio = doc.find(NS + "bibliographic-data")
    pub = biblio.find(NS + "publication-reference/" + NS + "document-id")
    titles = {}
    for t in biblio.findall(NS + "invention-title"):
        titles.setdefault(t.get("lang"), (t.text or "").strip())

    def names(tag):
        epodoc = [n.text or "" for p in biblio.iter(NS + tag) if p.get("data-format") == "epodoc"
                  for n in p.iter(NS + "name")]
        original = [n.text or "" for p in biblio.iter(NS + tag) if p.get("data-format") == "original"
                    for n in p.iter(NS + "name")]
        original += [""] * (len(epodoc) - len(original))
        return list(zip(epodoc, original))

    abstract = " ".join("".join(a.itertext()) for a in doc.findall(NS + "abstract"))
    app = biblio.find(NS + "application-reference/" + NS + "document-id")
    app_date = biblio.find(NS + "application-reference//" + NS + "date")
    ipc = [re.sub(r"^(\S+)\s+(\d+)/\s*(\d+).*$", r"\1 \2/\3", (c.findtext(NS + "text") or "").strip())
           for c in biblio.iter(NS + "classification-ipcr")]
    cpc = ["%s%s%s %s/%s" % tuple(c.findtext(NS + k) or "" for k in
                                  ("section", "class", "subclass", "main-group", "subgroup"))
           for c in biblio.iter(NS + "patent-classification")]
    return {
        "cc": pub.findtext(NS + "country"), "number": pub.findtext(NS + "doc-number"),
        "kind": pub.findtext(NS + "kind"), "pd": pub.findtext(NS + "date") or "",
        "titles": titles, "abstract": abstract.strip(),
        "applicants": names("applicant"), "inventors": names("inventor"),
        "ipc": ipc, "cpc": cpc,
        "app": (app.findtext(NS + "country"), app.findtext(NS + "doc-number"),
                app.findtext(NS + "kind"), app_date.text if app_date is not None else ""),
        "priority": [], "cited": [], "family": doc.get("family-id"),
    }


def renumber(block, cc, number, kind, family):
    """The block as the result of another publication: the exchange-document's attributes and
    the docdb and epodoc numbers of its publication reference; nothing else changes."""
    block = re.sub(r'(<exchange-document [^>]*?)family-id="[^"]*" country="[^"]*" '
                   r'doc-number="[^"]*" kind="[^"]*"',
                   r'\g<1>family-id="%s" country="%s" doc-number="%s" kind="%s"'
                   % (family, cc, number, kind), block, count=1)
    start = block.index("<publication-reference>")
    end = block.index("</publication-reference>", start)
    ref = block[start:end]
    ref = re.sub(r"<country>[A-Z]{2}</country>", "<country>%s</country>" % cc, ref, count=1)
    ref = re.sub(r"(<document-id document-id-type=\"docdb\">[\s\S]*?)<doc-number>[^<]*</doc-number>",
                 r"\g<1><doc-number>%s</doc-number>" % number, ref, count=1)
    ref = re.sub(r"<kind>[^<]*</kind>", "<kind>%s</kind>" % kind, ref, count=1)
    ref = re.sub(r"(<document-id document-id-type=\"epodoc\">\s*)<doc-number>[^<]*</doc-number>",
                 r"\g<1><doc-number>%s%s</doc-number>" % (cc, number), ref, count=1)
    return block[:start] + ref + block[end:]


def series_identity(cc, i):
    """(country, number, kind, family) of result i of a country's real series."""
    if cc == "EP":
        return "EP", str(3900001 + i), "A1", str(70000001 + i)
    if i % 2 == 0:
        return "US", str(9500001 + i // 2), "B2", str(71000001 + i)
    return "US", str(2024100001 + i // 2), "A1", str(71000001 + i)


class RealAnswers:
    """The recorded answers and the publications made of them (see the module's text)."""

    def __init__(self, folder):
        self.folder = folder
        self.biblio = read(folder, BIBLIO_FILE)
        self.page = read(folder, PAGE_FILE)
        self.summary = read(folder, SUMMARY_FILE).decode("utf-8")
        search = read(folder, SEARCH_FILE).decode("utf-8")
        # The layout of the recorded search answer around its results, and the results.
        first = search.index("            <exchange-documents>")
        last = search.rindex("</exchange-documents>\n") + len("</exchange-documents>\n")
        self.search_head, self.search_tail = search[:first], search[last:]
        self.blocks = re.findall(r"            <exchange-documents>\n[\s\S]*?</exchange-documents>\n",
                                 search[first:last])
        self.block_fields = [fields_of(b) for b in self.blocks]
        self._series = None
        text = self.biblio.decode("utf-8")
        b_first = text.index("    <exchange-documents>")
        b_last = text.rindex("</exchange-documents>\n") + len("</exchange-documents>\n")
        self.biblio_head, self.biblio_tail = text[:b_first], text[b_last:]
        ep = fields_of(text[b_first:b_last])
        ep.update(pages=self.full_document_pages(), drawings=self.instance("Drawing")["pages"],
                  recorded="biblio")
        self.ep_document = ep

    # ------------------------------------------------------------ catalogue
    def documents(self):
        """The recorded publication (EP2400812A1), in the catalogue from the start."""
        return [self.ep_document]

    def series(self):
        """The real series (made when first asked for)."""
        if self._series is None:
            self._series = [self.series_document(cc, i)
                            for cc in ("EP", "US") for i in range(SERIES_COUNT * (1 if cc == "EP" else 2))]
        return self._series

    def series_document(self, cc, i):
        cc, number, kind, family = series_identity(cc, i)
        which = i % len(self.blocks)
        doc = dict(self.block_fields[which])
        doc.update(cc=cc, number=number, kind=kind, family=family, pages=2, drawings=1,
                   recorded="series", block=which)
        return doc

    def find(self, cc, number, kind=None):
        if cc == "EP" and number.isdigit() and 3900001 <= int(number) < 3900001 + SERIES_COUNT:
            found = [self.series_document("EP", int(number) - 3900001)]
        elif cc == "US" and number.isdigit() and 9500001 <= int(number) < 9500001 + SERIES_COUNT:
            found = [self.series_document("US", 2 * (int(number) - 9500001))]
        elif cc == "US" and number.isdigit() and 2024100001 <= int(number) < 2024100001 + SERIES_COUNT:
            found = [self.series_document("US", 2 * (int(number) - 2024100001) + 1)]
        else:
            return []
        return [d for d in found if not kind or d["kind"] == kind]

    # ------------------------------------------------------------ answers
    def block(self, doc):
        """The exchange-documents block of a series publication, renumbered."""
        return renumber(self.blocks[doc["block"]], doc["cc"], doc["number"], doc["kind"], doc["family"])

    def biblio_answer(self, doc):
        """The biblio answer of a recorded publication: the recorded file itself, or a series
        block in the recorded biblio's layout."""
        if doc["recorded"] == "biblio":
            return self.biblio
        block = "".join(line[8:] + "\n" for line in self.block(doc).split("\n")[:-1])
        return (self.biblio_head + block + self.biblio_tail).encode("utf-8")

    def instance(self, desc):
        """One document instance of the recorded images summary: desc, link, pages, formats."""
        for part in re.split(r"\n\s*\n", self.summary):
            if re.search(r"Description: %s\s*$" % desc, part, re.M):
                return {"desc": desc, "link": re.search(r"Link: (\S+)", part).group(1),
                        "pages": int(re.search(r"Pages: (\d+)", part).group(1)),
                        "formats": re.search(r"Formats: \[([^\]]*)\]", part).group(1).split()}
        raise KeyError(desc)

    def full_document_pages(self):
        return self.instance("FullDocument")["pages"]

    def images_answer(self, doc):
        """The images inquiry of EP2400812A1 in OPS's layout, from the recorded summary; None
        for a series publication, whose inquiry is the imitation's."""
        if doc.get("recorded") != "biblio":
            return None
        instances = []
        for part in re.split(r"\n\s*\n", self.summary):
            m = re.search(r"Description: (\S+)", part)
            if not m:
                continue
            i = self.instance(m.group(1))
            formats = "".join("                    <ops:document-format>%s</ops:document-format>\n" % f
                              for f in i["formats"])
            instances.append(
                '            <ops:document-instance system="ops.epo.org" number-of-pages="%d" '
                'desc="%s" link="%s">\n'
                '                <ops:document-format-options>\n%s'
                '                </ops:document-format-options>\n'
                '            </ops:document-instance>\n' % (i["pages"], i["desc"], i["link"], formats))
        doc = self.ep_document
        return ('<?xml version="1.0" encoding="UTF-8"?><?xml-stylesheet type="text/xsl" '
                'href="../../../../../style/images.xsl"?>\n'
                '<ops:world-patent-data %s>\n'
                '    <ops:document-inquiry>\n'
                '        <ops:publication-reference>\n'
                '            <document-id document-id-type="docdb">\n'
                '                <country>%s</country>\n'
                '                <doc-number>%s</doc-number>\n'
                '                <kind>%s</kind>\n'
                '            </document-id>\n'
                '        </ops:publication-reference>\n'
                '        <ops:inquiry-result>\n%s'
                '        </ops:inquiry-result>\n'
                '    </ops:document-inquiry>\n'
                '</ops:world-patent-data>'
                % (EXCHANGE_NAMESPACES, doc["cc"], doc["number"], doc["kind"], "".join(instances))
                ).encode("utf-8")

    def page_for(self, doc, page):
        """The page image of a recorded publication (every page is the recorded one)."""
        return self.page if doc.get("recorded") else None

    def search_page(self, query, total, begin, blocks):
        """A search/biblio answer in the recorded layout holding the blocks (texts of
        exchange-documents elements at the recorded indentation)."""
        head = self.search_head
        head = re.sub(r'total-result-count="\d+" publications-count="\d+"',
                      'total-result-count="%d" publications-count="%d"' % (total, len(blocks)), head)
        head = re.sub(r'<ops:query syntax="CQL">[^<]*</ops:query>',
                      '<ops:query syntax="CQL">%s</ops:query>' % xml_text(query), head)
        head = re.sub(r'<ops:range begin="\d+" end="\d+"/>',
                      '<ops:range begin="%d" end="%d"/>' % (begin, begin + len(blocks) - 1), head)
        return (head + "".join(blocks) + self.search_tail).encode("utf-8")

    def result_block(self, doc, imitation_block):
        """The block of a search result: a recorded publication's own, or the imitation's
        exchange-document wrapped at the recorded indentation."""
        if doc.get("recorded") == "series":
            return self.block(doc)
        if doc.get("recorded") == "biblio":
            text = self.biblio.decode("utf-8")
            inner = text[text.index("        <exchange-document "):text.rindex("</exchange-document>\n") + 21]
            return "            <exchange-documents>\n%s            </exchange-documents>\n" % "".join(
                "        " + line + "\n" for line in inner.split("\n")[:-1])
        return "            <exchange-documents>\n%s            </exchange-documents>\n" % "".join(
            "        " + line + "\n" for line in imitation_block.split("\n")[:-1])


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def real_search_page(folder, cc="EP", begin=1, count=100, query="txt = siemens and pn=EP"):
    """A page of `count` results of a country's real series from result `begin` on, as the
    server answers it (bytes)."""
    answers = RealAnswers(folder)
    total = SERIES_COUNT * (1 if cc == "EP" else 2)
    docs = [answers.series_document(cc, i) for i in range(begin - 1, min(begin - 1 + count, total))]
    return answers.search_page(query, total, begin, [answers.block(d) for d in docs])
