var	_menu = null;

function clear_menus(clearall)
{
	var	divs = document.getElementsByTagName('div');
	for (var i = 0; i < divs.length; i++)
	{
		var	div = divs[i];
		if (div.id.indexOf('-menu-div') == -1)
			continue;
		if (clearall)
		{
			div.style.visibility = 'hidden';
			continue;
		}
		if (div.className.indexOf('static') != -1)
			continue;
		if (div.className.indexOf('flyover') != -1)
			div.style.visibility = 'hidden';
		else if (div == _menu && _menu._clicks > 1)
			div.style.visibility = 'hidden';
	}
}

function show_menu(id,alignment,bw)
{
	clear_menus(false);
	var	node = document.getElementById(id);
	var	div = document.getElementById(id + '-menu-div');
	var	table = document.getElementById(id + '-table');
	if (node == null || div == null || table == null)
	{
		alert('Cannot find menu: ' + id);
		return;
	}
	if (bw == null)
		bw = 0;
	apply_filter(div,3);
	if (_menu != null && _menu != div)
		_menu.style.visibility = 'hidden';
	_menu = div;
	_menu._clicks = 0;
	var	bounds = getBounds(id);
	var	width = table.offsetWidth;
	var	scrolling = div.style.overflow == 'auto';
	if (scrolling)
		width += sbwidth + 2 * bw;
	if (alignment == 'align-left' || alignment == 'align-right')
	{
		if (ie)
		{
			div.style.width = width;
		}
		else
		{
			width -= 2 * bw;
			table.style.width = '100%';
		}
		div.style.top = bounds._top;
		if (alignment == 'align-left')
			div.style.left = bounds._left - (ie ? width : div.offsetWidth);
		else
			div.style.left = bounds._right;
	}
	else
	{
		var	nodeWidth = bounds.getWidth();
		if (width <= nodeWidth)
		{
			width = ie ? nodeWidth : nodeWidth - 2 * bw;
			var	tableWidth = width;
			if (scrolling)
				tableWidth -= sbwidth;
			if (ie)
				tableWidth -= 2 * bw;
			div.style.width = width;
			table.style.width = tableWidth;
		}
		else if (!ie)
		{
			width -= 2 * bw;
			div.style.width = width;
			if (scrolling)
				table.style.width = width - sbwidth;
		}
		div.style.left = bounds._left;
		if (alignment == 'align-top')
			div.style.top = bounds._top - div.offsetHeight;
		else
			div.style.top = bounds._bottom;
	}
	div.style.zIndex = 10000;
	div.style.visibility = 'visible';
	play_filter(div,3);
}

function clear_menu(name)
{
	var	div = document.getElementById(name + '-menu-div');
	if (div == null)
	{
		alert('Cannot find menu div: ' + name + '-menu-div');
		return;
	}
	div.style.visibility = 'hidden';
}

function row_class(cell,classname)
{
	var	row = cell.parentNode;
	while (row != null && row.tagName.toLowerCase() != 'tr')
		row = row.parentNode;
	if (row == null)
		return;
	var	cells = row.getElementsByTagName('td');
	for (var i = 0; i < cells.length; i++)
		cells[i].className = classname;
}
