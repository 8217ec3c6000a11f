// The plane as an SVG file for slides, as it looks on the page: its
// landscape, trails, marks and labels, and the rings of the step selected,
// in one picture, each element with the style the page gives it written
// into it, so that a browser or Inkscape shows it without the page's style
// sheet.

import { svgElement, svgNamespace } from "./svg.js";

const styled = ["fill", "fill-opacity", "stroke", "stroke-width", "stroke-dasharray", "stroke-linejoin", "stroke-linecap", "opacity",
    "font-family", "font-size", "font-weight", "paint-order", "display"];
const xlink = "http://www.w3.org/1999/xlink";

// A copy of each element of the layers, its computed style written in.
function copied(layers) {
    return layers.map(layer => {
        const copy = layer.cloneNode(true);
        const from = [layer, ...layer.querySelectorAll("*")];
        [copy, ...copy.querySelectorAll("*")].forEach((element, k) => {
            const style = getComputedStyle(from[k]);
            element.setAttribute("style", styled.map(name => `${name}:${style.getPropertyValue(name)}`).join(";"));
        });
        return copy;
    });
}

// The file's text: the plane's layers, the SVG ones (ground, plane, rings)
// and between them the trails, given as SVG paths.
export function planeFile({ ground, plane, rings }, trailPaths) {
    // The trails, in the page for a moment, are styled as it would style them.
    const trails = svgElement("g");
    trails.append(...trailPaths);
    ground.append(trails);
    const [groundCopy, copy, ringsCopy] = copied([ground, plane, rings]);
    trails.remove();
    copy.querySelector(".base").prepend(...groundCopy.querySelector(".base").childNodes, ...groundCopy.lastChild.childNodes);
    const [, , w, h] = plane.getAttribute("viewBox").split(" ").map(Number);
    for (const name of ["tabindex", "role", "aria-label", "data-part", "style"])
        copy.removeAttribute(name);
    Object.entries({ xmlns: svgNamespace, "xmlns:xlink": xlink, width: w, height: h })
        .forEach(([name, value]) => copy.setAttribute(name, value));
    for (const image of copy.querySelectorAll("image"))
        image.setAttributeNS(xlink, "xlink:href", image.getAttribute("href"));
    copy.prepend(svgElement("title", {}, "chord: точки поисков метода хорд на комплексной плоскости"),
        svgElement("rect", { width: w, height: h, fill: "#fff" }));
    copy.append(...ringsCopy.childNodes);
    return `<?xml version="1.0" encoding="UTF-8"?>\n${new XMLSerializer().serializeToString(copy)}\n`;
}
