// A page written with the option to fit narrow windows scales its whole
// page division down when the window is narrower than the page: the picture,
// the shapes built of elements, the frames and the menus all sit inside it
// and shrink together. The image map's areas keep their picture coordinates;
// the browser maps a click through the same scaling before it looks for the
// area, so the areas cover the scaled shapes. Browsers without transforms
// show the page at its own size, as pages without the option always do.

var	_responsive = /*@responsive@*/0;
var	_pageScale = 1;

function responsive_scale()
{
	var	page = document.getElementById('page_div');
	if (page == null || document.body == null || page.style.transform == null)
		return;
	var	width = view_element().clientWidth;
	var	scale = 1;
	if (_responsive && _imageWidth > 0 && width > 0 && width < _imageWidth)
		scale = width / _imageWidth;
	if (scale == _pageScale)
		return;
	_pageScale = scale;
	page.style.transformOrigin = '0 0';
	page.style.transform = scale == 1 ? '' : 'scale(' + scale + ')';
	trademark();
}

if (_responsive && window.addEventListener)
{
	window.addEventListener('DOMContentLoaded', responsive_scale, false);
	window.addEventListener('load', responsive_scale, false);
	window.addEventListener('resize', responsive_scale, false);
}
