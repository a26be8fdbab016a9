// Copies what the playground shows of a drawing into the page as inert SVG.
//
// A drawing opened in the page (and the tool's output, which carries the
// drawing's elements on) may hold scripts, event handlers, links, embedded
// HTML, style sheets and ids chosen to land on the page's own elements. The
// stage gets none of that: every element and attribute is built anew with
// createElementNS from a list of those that only draw, ids are given a
// prefix of the layer's own (and every reference to them the same prefix),
// and classes are dropped, so that nothing of the drawing runs, reaches the
// page's elements or takes the page's styles.
'use strict';

const inertSvg = (() => {
  const SVG = 'http://www.w3.org/2000/svg';
  const XLINK = 'http://www.w3.org/1999/xlink';
  const XML = 'http://www.w3.org/XML/1998/namespace';

  // Elements that draw, or hold what is drawn (gradients, clips, masks,
  // markers, patterns, symbols), and nothing else. A link keeps its content
  // and loses the link: it becomes a group.
  const ELEMENTS = new Set(['svg', 'g', 'defs', 'symbol', 'use', 'path', 'circle', 'ellipse', 'rect', 'line',
    'polyline', 'polygon', 'text', 'tspan', 'textPath', 'title', 'desc', 'linearGradient', 'radialGradient',
    'stop', 'clipPath', 'mask', 'pattern', 'marker']);
  const RENAMED = new Map([['a', 'g']]);
  // Elements whose text is kept.
  const TEXT_ELEMENTS = new Set(['text', 'tspan', 'textPath', 'title', 'desc']);
  // Elements whose href may name another element of the drawing.
  const HREF_ELEMENTS = new Set(['use', 'textPath', 'linearGradient', 'radialGradient', 'pattern']);

  // Geometry and paint, as attributes; a style declaration of one of the
  // paint properties becomes the attribute of that name.
  const GEOMETRY = ['x', 'y', 'x1', 'y1', 'x2', 'y2', 'cx', 'cy', 'r', 'rx', 'ry', 'fx', 'fy', 'fr', 'width',
    'height', 'd', 'points', 'pathLength', 'transform', 'viewBox', 'preserveAspectRatio', 'offset',
    'gradientUnits', 'gradientTransform', 'spreadMethod', 'patternUnits', 'patternContentUnits',
    'patternTransform', 'clipPathUnits', 'maskUnits', 'maskContentUnits', 'markerUnits', 'markerWidth',
    'markerHeight', 'refX', 'refY', 'orient', 'dx', 'dy', 'rotate', 'textLength', 'lengthAdjust',
    'startOffset'];
  const PAINT = ['fill', 'fill-opacity', 'fill-rule', 'stroke', 'stroke-width', 'stroke-linecap',
    'stroke-linejoin', 'stroke-miterlimit', 'stroke-dasharray', 'stroke-dashoffset', 'stroke-opacity',
    'opacity', 'color', 'display', 'visibility', 'clip-path', 'clip-rule', 'mask', 'marker-start',
    'marker-mid', 'marker-end', 'stop-color', 'stop-opacity', 'font-family', 'font-size', 'font-weight',
    'font-style', 'font-variant', 'font-stretch', 'text-anchor', 'dominant-baseline', 'alignment-baseline',
    'baseline-shift', 'letter-spacing', 'word-spacing', 'text-decoration', 'paint-order', 'vector-effect',
    'shape-rendering', 'text-rendering', 'image-rendering', 'color-interpolation'];
  const ATTRIBUTES = new Set([...GEOMETRY, ...PAINT]);
  const STYLE_PROPERTIES = new Set(PAINT);

  // Rewrites every url(...) of `value` to the layer's name for the same
  // element; null when one of them is not a reference into the drawing
  // itself (another file, a data: or javascript: URL), or when the value
  // holds a CSS escape that could hide one.
  function localReferences(value, prefix) {
    if (value.includes('\\')) return null;
    let foreign = false;
    const rewritten = value.replace(/url\(\s*(['"]?)(.*?)\1\s*\)/gi, (all, quote, target) => {
      if (!/^#[^\s#'"()]+$/.test(target)) {
        foreign = true;
        return all;
      }
      return `url(#${prefix}${target.slice(1)})`;
    });
    if (foreign || /url\(/i.test(rewritten.replace(/url\(#[^\s#'"()]+\)/g, ''))) return null;
    return rewritten;
  }

  function copyAttributes(source, copy, prefix, keepClass) {
    for (const attribute of Array.from(source.attributes)) {
      const name = attribute.localName;
      const value = attribute.value;
      if (attribute.namespaceURI === null && name === 'id') {
        copy.setAttribute('id', prefix + value);
      } else if (attribute.namespaceURI === null && name === 'class') {
        if (keepClass && copy.localName === 'path' && value.split(/\s+/).includes(keepClass)) {
          copy.setAttribute('class', keepClass);
        }
      } else if (name === 'href' && (attribute.namespaceURI === null || attribute.namespaceURI === XLINK)) {
        if (HREF_ELEMENTS.has(copy.localName) && /^#[^\s#'"()]+$/.test(value.trim())) {
          copy.setAttribute('href', `#${prefix}${value.trim().slice(1)}`);
        }
      } else if (attribute.namespaceURI === XML && name === 'space') {
        copy.setAttributeNS(XML, 'xml:space', value === 'preserve' ? 'preserve' : 'default');
      } else if (attribute.namespaceURI === null && ATTRIBUTES.has(name)) {
        const safe = localReferences(value, prefix);
        if (safe !== null) copy.setAttribute(name, safe);
      }
    }
    // The style attribute's paint declarations, as attributes: they take the
    // place of attributes of the same name, as the declarations would.
    const style = source.getAttribute('style');
    if (style) {
      for (const declaration of style.split(';')) {
        const colon = declaration.indexOf(':');
        if (colon < 0) continue;
        const property = declaration.slice(0, colon).trim().toLowerCase();
        const value = declaration.slice(colon + 1).replace(/!\s*important\s*$/i, '').trim();
        if (!STYLE_PROPERTIES.has(property) || value === '') continue;
        const safe = localReferences(value, prefix);
        if (safe !== null) copy.setAttribute(property, safe);
      }
    }
  }

  // The inert copy of `source` (a node of a parsed drawing), or null when
  // nothing of it is shown. `onCopy(source, copy)` sees every element made.
  function copyNode(source, options, inText) {
    if (source.nodeType === Node.TEXT_NODE || source.nodeType === Node.CDATA_SECTION_NODE) {
      return inText ? document.createTextNode(source.data) : null;
    }
    if (source.nodeType !== Node.ELEMENT_NODE || source.namespaceURI !== SVG) return null;
    const name = RENAMED.get(source.localName) || source.localName;
    if (!ELEMENTS.has(name)) return null;
    const copy = document.createElementNS(SVG, name);
    copyAttributes(source, copy, options.prefix, options.keepClass);
    const keepsText = TEXT_ELEMENTS.has(name);
    for (const child of Array.from(source.childNodes)) {
      const childCopy = copyNode(child, options, keepsText);
      if (childCopy !== null) copy.appendChild(childCopy);
    }
    if (options.onCopy) options.onCopy(source, copy);
    return copy;
  }

  // Fills `layer` with the inert copies of the children of `root`.
  //   prefix:    put before every id of the drawing, and every reference to one
  //   keepClass: the one class kept, on paths that have it, or none
  //   onCopy:    called with each element of the drawing and its copy
  function fill(layer, root, options) {
    layer.replaceChildren();
    for (const child of Array.from(root.childNodes)) {
      const copy = copyNode(child, options, false);
      if (copy !== null) layer.appendChild(copy);
    }
  }

  return { fill };
})();
