#pragma once

#include "page/EntryList.h"

namespace lumavine {

class StringList;

// A named list of slides (show_picture or show_page actions) that a
// show_slides action plays in a frame, with an optional background sound.
class Slideshow {
public:
    explicit Slideshow(const String& id);
    ~Slideshow();

    // A fresh id for a new slideshow (a UUID with "_" for "-").
    static String newId();

    // Reads a "slideshow" element: its "name" attribute, its "audio" child
    // and its "slide" children.
    void read(const Element* element);
    // Appends a "slideshow" element to `parent`.
    void write(Element* parent) const;
    void copyFrom(const Slideshow& other);

    const String& id() const { return m_id; }
    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }
    const String& audio() const { return m_audio; }
    void setAudio(const String& audio) { m_audio = audio; }

    std::vector<Element*> slides() const { return m_slides.entries(); }
    size_t slideCount() const { return m_slides.count(); }
    EntryList& slideList() { return m_slides; }
    const EntryList& slideList() const { return m_slides; }

    // The lines of the runtime's slides section for this slideshow:
    // "_slides['id'] = new Array();", its audio, and one "new Slide(...)"
    // line per picture or page slide, indexed by the slide's position.
    void dataLines(StringList& lines) const;

private:
    String m_id;
    String m_name;
    String m_audio;
    EntryList m_slides;
};

}
